#include "program_name.h"

#include <shlwapi.h>

#include <cwchar>

#include "program_key_name.h"
#include "qvnlog.h"

QvnDescriptionStatus QvnProgramDescriptionGet(const wchar_t* path, wchar_t* name, size_t room, DWORD* error) {
  DWORD ignored = 0;
  if (!error) error = &ignored;
  *error = 0;
  if (name && room) name[0] = 0;
  if (!path || !name || room == 0) return QvnDescriptionStatus::kNoVersionInfo;
  BYTE info[4000];
  if (!GetFileVersionInfoW(path, 0, sizeof(info), info)) {
    *error = GetLastError();
    return QvnDescriptionStatus::kNoVersionInfo;
  }
  struct LangCodePage {
    WORD language, codePage;
  };
  LangCodePage* pairs = nullptr;
  UINT bytes = 0;
  if (!VerQueryValueW(info, L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&pairs), &bytes) || !pairs) {
    *error = GetLastError();
    return QvnDescriptionStatus::kNoTranslation;
  }
  for (UINT i = 0; i < bytes / sizeof(LangCodePage); ++i) {
    wchar_t query[64];
    QvnFormatWf(query, 64, L"\\StringFileInfo\\%04x%04x\\FileDescription", pairs[i].language, pairs[i].codePage);
    wchar_t* text = nullptr;
    UINT len = 0;
    if (VerQueryValueW(info, query, reinterpret_cast<void**>(&text), &len) && text && len > 1) {
      // len counts characters with the terminator; never read past it.
      size_t n = wcsnlen(text, len);
      if (n >= 1) {
        wchar_t copy[MAX_PATH];
        size_t m = n < MAX_PATH - 1 ? n : MAX_PATH - 1;
        wmemcpy(copy, text, m);
        copy[m] = 0;
        if (qvn::ProgramKeyNameMake(copy, name, room)) return QvnDescriptionStatus::kFound;
      }
    }
  }
  *error = GetLastError();
  return QvnDescriptionStatus::kNoDescription;
}

QvnDescriptionStatus QvnProgramNameGet(const wchar_t* path, wchar_t* name, size_t room, DWORD* error) {
  QvnDescriptionStatus status = QvnProgramDescriptionGet(path, name, room, error);
  if (status != QvnDescriptionStatus::kFound && path && name && room) {
    qvn::ProgramKeyNameMake(PathFindFileNameW(path), name, room);
  }
  return status;
}
