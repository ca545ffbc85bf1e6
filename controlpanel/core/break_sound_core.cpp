#include "break_sound_core.h"

#include "settings_table.h"

namespace qvn {

namespace {

size_t Length(const wchar_t* s) {
  size_t n = 0;
  while (s && s[n]) ++n;
  return n;
}

}  // namespace

bool SoundPathIsNetwork(const wchar_t* path) { return path && path[0] == L'\\'; }

bool SoundNameFromBrowsedPath(const wchar_t* path, const wchar_t* windowsDir, wchar_t* out, size_t room) {
  if (!out || room == 0) return false;
  out[0] = 0;
  if (!path) return false;
  // Only a file directly in the folder: "<Windows>\Media\sub\a.wav" or
  // "<Windows>\MediaX\b.wav" are stored whole.
  std::wstring folder = std::wstring(windowsDir ? windowsDir : L"") + L"\\Media\\";
  std::wstring full(path);
  const wchar_t* stored = path;
  if (full.size() > folder.size() && full.compare(0, folder.size(), folder) == 0 &&
      full.find(L'\\', folder.size()) == std::wstring::npos)
    stored = path + folder.size();
  if (QvnCopyText(out, room, stored)) return true;
  out[0] = 0;
  return false;
}

bool SoundPreviewPath(const wchar_t* entry, const wchar_t* windowsDir, wchar_t* out, size_t room) {
  if (!out || room == 0) return false;
  out[0] = 0;
  if (!entry || !entry[0]) return false;
  std::wstring path;
  if (entry[1] == L':') {
    path = entry;
  } else {
    path = std::wstring(windowsDir ? windowsDir : L"") + L"\\Media\\" + entry;
  }
  if (path.size() + 1 > room || !QvnCopyText(out, room, path.c_str())) {
    out[0] = 0;
    return false;
  }
  return true;
}

std::wstring PreviewAlias(unsigned player) { return L"voice" + std::to_wstring(player + 1); }

std::wstring MciOpenCommand(const wchar_t* path, const std::wstring& alias) {
  if (!path || !path[0]) return std::wstring();
  for (size_t i = 0; path[i]; ++i) {
    if (path[i] == L'"') return std::wstring();
  }
  std::wstring command = L"open \"";
  command.append(path, Length(path));
  command += L"\" type waveaudio alias ";
  command += alias;
  return command;
}

unsigned MciLengthMilliseconds(const wchar_t* answer) {
  unsigned long long value = 0;
  for (const wchar_t* p = answer; p && *p >= L'0' && *p <= L'9'; ++p) {
    value = value * 10 + static_cast<unsigned>(*p - L'0');
    if (value > 0x7FFFFFFFull) return 0x7FFFFFFFu;
  }
  return static_cast<unsigned>(value);
}

}  // namespace qvn
