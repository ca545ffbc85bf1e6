#include "setup_test_util.h"

#include <shlobj.h>

#include <cstdio>
#include <map>

#include "qvntest.h"

namespace setuptest {

namespace {
std::map<std::wstring, size_t> g_logMarks;

std::wstring TempRoot() {
  wchar_t buf[MAX_PATH];
  DWORD n = GetTempPathW(MAX_PATH, buf);
  std::wstring s(buf, n);
  if (!s.empty() && s.back() == L'\\') s.pop_back();
  return s;
}

void RemoveTree(const std::wstring& dir, int depth) {
  WIN32_FIND_DATAW f;
  HANDLE h = FindFirstFileW((dir + L"\\*").c_str(), &f);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      std::wstring name = f.cFileName;
      if (name == L"." || name == L"..") continue;
      std::wstring full = dir + L"\\" + name;
      if (f.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        if (depth > 0) RemoveTree(full, depth - 1);
      } else {
        SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(full.c_str());
      }
    } while (FindNextFileW(h, &f));
    FindClose(h);
  }
  RemoveDirectoryW(dir.c_str());
}
}  // namespace

TempDir::TempDir(const wchar_t* tag) {
  static int counter = 0;
  wchar_t name[64];
  _snwprintf(name, 63, L"\\qvnset-%s-%lu-%d", tag, GetCurrentProcessId(), ++counter);
  name[63] = 0;
  path_ = TempRoot() + name;
  RemoveTree(path_, 2);
  CreateDirectoryW(path_.c_str(), nullptr);
  MarkLog(path_);
}

TempDir::~TempDir() { RemoveTree(path_, 2); }

DWORD RunTool(const std::wstring& args, const std::wstring& workDir, const std::vector<EnvVar>& env,
              const std::wstring& program) {
  std::vector<std::pair<std::wstring, std::wstring>> saved;
  for (const auto& e : env) {
    wchar_t buf[4096];
    DWORD n = GetEnvironmentVariableW(e.name, buf, 4096);
    saved.emplace_back(e.name, n ? std::wstring(buf, n) : std::wstring(1, L'\0'));
    SetEnvironmentVariableW(e.name, e.value.empty() ? nullptr : e.value.c_str());
  }
  PreferStandIns();
  qvntest::Process p;
  DWORD code = 0xDEADDEAD;
  std::wstring exe = program.empty() ? qvntest::BinPath(L"QvnSetupCustomAction.exe") : program;
  if (p.Start(exe, args, workDir.c_str())) {
    if (!p.Wait(90000, &code)) {
      p.Kill();
      code = 0xDEADDEAD;
    }
  }
  for (const auto& s : saved)
    SetEnvironmentVariableW(s.first.c_str(), s.second == std::wstring(1, L'\0') ? nullptr : s.second.c_str());
  return code;
}

std::string ReadFileText(const std::wstring& path) {
  FILE* f = _wfopen(path.c_str(), L"rb");
  if (!f) return std::string();
  std::string s;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof(buf), f)) > 0) s.append(buf, n);
  fclose(f);
  std::string out;
  for (size_t i = 0; i < s.size(); ++i)
    if (!(s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n')) out.push_back(s[i]);
  return out;
}

std::wstring SecureLogPath() {
  PWSTR data = nullptr;
  if (FAILED(SHGetKnownFolderPath(FOLDERID_ProgramData, 0, nullptr, &data))) return L"";
  std::wstring path = std::wstring(data) + L"\\Quorvane\\Setup\\QuorvaneSetup.log";
  CoTaskMemFree(data);
  return path;
}

void MarkLog(const std::wstring& dir) { g_logMarks[dir] = ReadFileText(SecureLogPath()).size(); }

std::string ReadLog(const std::wstring& dir) {
  std::string all = ReadFileText(SecureLogPath());
  size_t mark = g_logMarks.count(dir) ? g_logMarks[dir] : 0;
  return mark <= all.size() ? all.substr(mark) : all;
}

bool WriteFileText(const std::wstring& path, const std::string& text) {
  FILE* f = _wfopen(path.c_str(), L"wb");
  if (!f) return false;
  bool ok = fwrite(text.data(), 1, text.size(), f) == text.size();
  fclose(f);
  return ok;
}

bool FileExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

size_t CountOf(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size())) ++n;
  return n;
}

std::string Lower(std::string s) {
  for (auto& c : s) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
  return s;
}

DebugLevelScope::DebugLevelScope(const DWORD* value) {
  HKEY k;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Quorvane", 0, KEY_READ, &k) == ERROR_SUCCESS) {
    DWORD size = sizeof(saved_), type = 0;
    had_ = RegQueryValueExW(k, L"DebugLevel", nullptr, &type, reinterpret_cast<BYTE*>(&saved_), &size) ==
           ERROR_SUCCESS;
    RegCloseKey(k);
  }
  if (value)
    qvntest::RegSetDword(HKEY_LOCAL_MACHINE, L"Software\\Quorvane", L"DebugLevel", *value);
  else
    qvntest::RegRemoveValue(HKEY_LOCAL_MACHINE, L"Software\\Quorvane", L"DebugLevel");
}

DebugLevelScope::~DebugLevelScope() {
  if (had_)
    qvntest::RegSetDword(HKEY_LOCAL_MACHINE, L"Software\\Quorvane", L"DebugLevel", saved_);
  else
    qvntest::RegRemoveValue(HKEY_LOCAL_MACHINE, L"Software\\Quorvane", L"DebugLevel");
}

void PreferStandIns() {
  // Wine prefers its builtin copies of these libraries; our stand-ins are
  // real PE files and need "native first" for the tool. A per-program
  // setting of Wine's, so the test programs themselves are not affected.
  const wchar_t* key = L"Software\\Wine\\AppDefaults\\QvnSetupCustomAction.exe\\DllOverrides";
  for (const wchar_t* dll : {L"difxapi", L"newdev", L"setupapi"})
    qvntest::RegSetString(HKEY_CURRENT_USER, key, dll, L"native,builtin");
}

}  // namespace setuptest
