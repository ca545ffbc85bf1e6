#include "launch_command.h"

namespace qvn {

namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

std::wstring Trimmed(const std::wstring& s) {
  size_t a = 0, b = s.size();
  while (a < b && IsBlank(s[a])) ++a;
  while (b > a && IsBlank(s[b - 1])) --b;
  return s.substr(a, b - a);
}

bool HasFolder(const std::wstring& path) { return path.find_first_of(L"\\/:") != std::wstring::npos; }

// The file a program name with a folder stands for, allowing ".exe" to be
// added when withExe; false when there is none.
bool ExistingProgram(const std::wstring& name, bool withExe, FileExistsPort& files, std::wstring* program) {
  if (files.FileExists(name)) {
    *program = name;
    return true;
  }
  if (withExe && files.FileExists(name + L".exe")) {
    *program = name + L".exe";
    return true;
  }
  return false;
}

// A program name as the rule takes it: a bare name is searched by the
// system, a name with a folder must exist.
bool Accept(const std::wstring& name, bool withExe, FileExistsPort& files, LaunchCommand* out) {
  if (name.empty()) return false;
  if (!HasFolder(name)) {
    out->program = name;
    out->searched = true;
    return true;
  }
  out->searched = false;
  return ExistingProgram(name, withExe, files, &out->program);
}

}  // namespace

bool LaunchCommandResolve(const std::wstring& stored, FileExistsPort& files, LaunchCommand* out) {
  const std::wstring text = Trimmed(stored);
  LaunchCommand result;
  if (!text.empty() && text[0] == L'"') {
    size_t close = text.find(L'"', 1);
    std::wstring name = text.substr(1, close == std::wstring::npos ? std::wstring::npos : close - 1);
    if (close != std::wstring::npos) result.arguments = Trimmed(text.substr(close + 1));
    if (!Accept(Trimmed(name), true, files, &result)) return false;
  } else if (HasFolder(text) && ExistingProgram(text, true, files, &result.program)) {
    // The whole unquoted text is the program.
  } else {
    size_t blank = 0;
    while (blank < text.size() && !IsBlank(text[blank])) ++blank;
    result.arguments = Trimmed(text.substr(blank));
    // A part of a longer path never gets ".exe" added.
    if (!Accept(text.substr(0, blank), false, files, &result)) return false;
  }
  *out = result;
  return true;
}

std::wstring LaunchCommandLine(const LaunchCommand& command) {
  std::wstring line = L"\"" + command.program + L"\"";
  if (!command.arguments.empty()) line += L" " + command.arguments;
  return line;
}

std::wstring LaunchCommandForProgram(const std::wstring& path) {
  if (path.find_first_of(L" \t") == std::wstring::npos) return path;
  return L"\"" + path + L"\"";
}

}  // namespace qvn
