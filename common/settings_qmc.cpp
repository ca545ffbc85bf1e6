#include "settings_qmc.h"

#include <cwchar>

#include "qvnlog.h"
#include "registry_util.h"
#include "system_params.h"

namespace {

const DWORD kLogError = 0x01;
const DWORD kLogRegistryError = 0x09;

// Room for the settings key, "App" and a display name of 260 characters.
constexpr size_t kPathChars = 2 * MAX_PATH;

bool KeyPath(const wchar_t* sub1, const wchar_t* sub2, wchar_t (&path)[kPathChars]) {
  if (QvnSettingsKeyPath(sub1, sub2, path, kPathChars)) return true;
  DebugPrint(kLogError, L"QMCSetting key path too long! %s", sub2 ? sub2 : L"");
  SetLastError(ERROR_FILENAME_EXCED_RANGE);
  return false;
}

// A failure's Windows error, set last so that it survives the log line.
bool Fail(DWORD error) {
  SetLastError(error);
  return false;
}

bool WriteText(const wchar_t* name, const wchar_t* text, const wchar_t* sub1, const wchar_t* sub2) {
  wchar_t path[kPathChars];
  if (!KeyPath(sub1, sub2, path)) return false;
  // The terminating zero is not stored.
  DWORD bytes = static_cast<DWORD>(std::wcslen(text) * sizeof(wchar_t));
  return QMCUtilRegistryValueSet(HKEY_CURRENT_USER, path, name, REG_SZ, reinterpret_cast<const BYTE*>(text),
                                 bytes);
}

// The row's value as text into text[chars], or its default; says how the
// value was found.
QvnStoredValue ReadText(const QvnSettingRow& row, const wchar_t* sub1, const wchar_t* sub2, wchar_t* text,
                        DWORD chars) {
  wchar_t path[kPathChars];
  DWORD type = REG_NONE;
  if (KeyPath(sub1, sub2, path) &&
      QvnRegistryTextGet(kQvnRegistryLogCpl, HKEY_CURRENT_USER, path, row.name, text, chars, &type))
    return QvnRegistryTypeIsText(type) ? QvnStoredValue::Text : QvnStoredValue::OtherType;
  QvnCopyText(text, chars, row.defaultText);
  return QvnStoredValue::Missing;
}

}  // namespace

bool QMCSettingSystemParameterGet(const wchar_t* name, int* value) {
  int which = QvnSystemParameterFind(name);
  if (which == QVN_SYSPARAM_NONE || !value) {
    DebugPrint(kLogError, L"QMCSettingSystemParameterGet unknown parameter! %s", name ? name : L"");
    return Fail(ERROR_INVALID_PARAMETER);
  }
  return QvnSystemParameterRead(which, value, kLogError);
}

bool QMCSettingSystemParameterSet(const wchar_t* name, int value) {
  int which = QvnSystemParameterFind(name);
  if (which == QVN_SYSPARAM_NONE) {
    DebugPrint(kLogError, L"QMCSettingSystemParameterSet unknown parameter! %s", name ? name : L"");
    return Fail(ERROR_INVALID_PARAMETER);
  }
  DWORD error = QvnSystemParameterWrite(which, value, kLogError);
  return error == ERROR_SUCCESS || Fail(error);
}

const QvnSettingRow* InternalFindRegData(const wchar_t* name) { return QvnSettingRowAt(QvnSettingFind(name)); }

int QMCSettingRegistryUserLongGet(const wchar_t* name, const wchar_t* subKey1, const wchar_t* subKey2) {
  const QvnSettingRow* row = InternalFindRegData(name);
  if (!row) {
    DebugPrint(kLogError, L"QMCSettingRegistryUserLongGet InternalFindRegData failed! %s", name ? name : L"");
    return 0;
  }
  wchar_t text[256];  // 512 bytes
  QvnStoredValue stored = ReadText(*row, subKey1, subKey2, text, 256);
  return QvnSettingStoredNumber(*row, stored, text);
}

bool QMCSettingRegistryUserLongSet(const wchar_t* name, int value, const wchar_t* subKey1,
                                   const wchar_t* subKey2) {
  const QvnSettingRow* row = InternalFindRegData(name);
  if (!row) {
    DebugPrint(kLogError, L"QMCSettingRegistryUserLongSet InternalFindRegData failed! %s", name ? name : L"");
    return Fail(ERROR_INVALID_PARAMETER);
  }
  wchar_t text[16];
  QvnSettingFormatInt(value, text, 16);
  return WriteText(row->name, text, subKey1, subKey2);
}

bool QMCSettingRegistryUserStringGet(wchar_t* out, size_t room, const wchar_t* name, const wchar_t* subKey1,
                                     const wchar_t* subKey2) {
  if (out && room) out[0] = 0;
  const QvnSettingRow* row = InternalFindRegData(name);
  if (!row) {
    DebugPrint(kLogError, L"QMCSettingRegistryUserStringGet InternalFindRegData failed! %s", name ? name : L"");
    return false;
  }
  if (!out || room == 0) return false;
  wchar_t text[512];  // 1024 bytes
  ReadText(*row, subKey1, subKey2, text, 512);
  QvnCopyText(out, room, text);
  return true;
}

bool QMCSettingRegistryUserStringSet(const wchar_t* name, const wchar_t* text, const wchar_t* subKey1,
                                     const wchar_t* subKey2) {
  const QvnSettingRow* row = InternalFindRegData(name);
  if (!row) {
    DebugPrint(kLogError, L"QMCSettingRegistryUserStringSet InternalFindRegData failed! %s", name ? name : L"");
    return Fail(ERROR_INVALID_PARAMETER);
  }
  return WriteText(row->name, text ? text : L"", subKey1, subKey2);
}

bool QMCSettingRegistryUserKeyDelete(const wchar_t* subKey1, const wchar_t* subKey2) {
  wchar_t path[kPathChars];
  if (!KeyPath(subKey1, subKey2, path)) return false;
  if (QvnSettingsIsRootKey(path)) {
    DebugPrint(kLogError, L"QMCSettingRegistryUserKeyDelete refused for the settings key itself! %s", path);
    return Fail(ERROR_ACCESS_DENIED);
  }
  LONG rc = RegDeleteKeyW(HKEY_CURRENT_USER, path);
  if (rc != ERROR_SUCCESS) {
    DebugPrint(kLogRegistryError, L"QMCSettingRegistryUserKeyDelete RegDeleteKey failed! %d", rc);
    return Fail(static_cast<DWORD>(rc));
  }
  return true;
}

bool QMCSettingRegistryUserValueDelete(const wchar_t* name, const wchar_t* subKey1, const wchar_t* subKey2) {
  wchar_t path[kPathChars];
  if (!KeyPath(subKey1, subKey2, path)) return false;
  HKEY key = nullptr;
  LONG rc = RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, KEY_ALL_ACCESS, &key);
  if (rc != ERROR_SUCCESS) return rc == ERROR_FILE_NOT_FOUND || Fail(static_cast<DWORD>(rc));
  rc = RegDeleteValueW(key, name);
  RegCloseKey(key);
  if (rc != ERROR_SUCCESS) {
    DebugPrint(kLogRegistryError, L"QMCSettingRegistryUserValueDelete RegDeleteKey failed! %d", rc);
    return Fail(static_cast<DWORD>(rc));
  }
  return true;
}
