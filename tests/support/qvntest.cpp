#include "qvntest.h"

#include <sddl.h>
#include <shlwapi.h>

#include <vector>

namespace qvntest {

std::wstring BinDir() {
  wchar_t path[MAX_PATH];
  DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return L".";
  PathRemoveFileSpecW(path);
  return path;
}

std::wstring BinPath(const wchar_t* file) { return BinDir() + L"\\" + file; }

DWORD CurrentSessionId() {
  DWORD s = 0;
  ProcessIdToSessionId(GetCurrentProcessId(), &s);
  return s;
}

bool RegSetBinary(HKEY root, const wchar_t* key, const wchar_t* name, const void* data, DWORD size, DWORD type) {
  HKEY k;
  if (RegCreateKeyExW(root, key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &k, nullptr) != ERROR_SUCCESS)
    return false;
  LONG rc = RegSetValueExW(k, name, 0, type, static_cast<const BYTE*>(data), size);
  RegCloseKey(k);
  return rc == ERROR_SUCCESS;
}

bool RegSetString(HKEY root, const wchar_t* key, const wchar_t* name, const std::wstring& value) {
  return RegSetBinary(root, key, name, value.c_str(), static_cast<DWORD>(value.size() * 2), REG_SZ);
}

bool RegSetDword(HKEY root, const wchar_t* key, const wchar_t* name, DWORD value) {
  return RegSetBinary(root, key, name, &value, sizeof(value), REG_DWORD);
}

bool RegGetString(HKEY root, const wchar_t* key, const wchar_t* name, std::wstring* value) {
  HKEY k;
  if (RegOpenKeyExW(root, key, 0, KEY_QUERY_VALUE, &k) != ERROR_SUCCESS) return false;
  DWORD size = 0, type = 0;
  LONG rc = RegQueryValueExW(k, name, nullptr, &type, nullptr, &size);
  if (rc == ERROR_SUCCESS) {
    std::vector<wchar_t> buf(size / 2 + 1, 0);
    rc = RegQueryValueExW(k, name, nullptr, &type, reinterpret_cast<BYTE*>(buf.data()), &size);
    if (rc == ERROR_SUCCESS) value->assign(buf.data(), wcsnlen(buf.data(), size / 2));
  }
  RegCloseKey(k);
  return rc == ERROR_SUCCESS;
}

bool RegRemoveValue(HKEY root, const wchar_t* key, const wchar_t* name) {
  HKEY k;
  if (RegOpenKeyExW(root, key, 0, KEY_SET_VALUE, &k) != ERROR_SUCCESS) return false;
  LONG rc = RegDeleteValueW(k, name);
  RegCloseKey(k);
  return rc == ERROR_SUCCESS;
}

void RegRemoveTree(HKEY root, const wchar_t* key) { SHDeleteKeyW(root, key); }

RegistryWriteDeny::RegistryWriteDeny(HKEY root, const wchar_t* name, DWORD denied) {
  DWORD size = sizeof saved;
  PSECURITY_DESCRIPTOR sd = nullptr;
  wchar_t sddl[48];
  wsprintfW(sddl, L"D:(D;;0x%x;;;WD)(A;;KA;;;WD)", denied);
  active = !RegCreateKeyExW(root, name, 0, nullptr, 0, READ_CONTROL | WRITE_DAC, nullptr, &key, nullptr) &&
           !RegGetKeySecurity(key, DACL_SECURITY_INFORMATION, saved, &size) &&
           ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &sd, nullptr) &&
           !RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, sd);
  LocalFree(sd);
}

RegistryWriteDeny::~RegistryWriteDeny() {
  if (active) RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, saved);
  if (key) RegCloseKey(key);
}

Process::~Process() {
  if (process_) CloseHandle(process_);
}

bool Process::Start(const std::wstring& program, const std::wstring& args, const wchar_t* workDir) {
  std::wstring line = L"\"" + program + L"\"";
  if (!args.empty()) line += L" " + args;
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(program.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, workDir, &si, &pi))
    return false;
  CloseHandle(pi.hThread);
  if (process_) CloseHandle(process_);
  process_ = pi.hProcess;
  pid_ = pi.dwProcessId;
  return true;
}

bool Process::Wait(DWORD timeoutMs, DWORD* exitCode) {
  if (!process_) return false;
  if (WaitForSingleObject(process_, timeoutMs) != WAIT_OBJECT_0) return false;
  if (exitCode) GetExitCodeProcess(process_, exitCode);
  return true;
}

bool Process::Running() const {
  return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

void Process::Kill() {
  if (Running()) {
    TerminateProcess(process_, 255);
    WaitForSingleObject(process_, 5000);
  }
}

long RunAndWait(const std::wstring& program, const std::wstring& args, DWORD timeoutMs) {
  Process p;
  if (!p.Start(program, args)) return -1;
  DWORD code = 0;
  if (!p.Wait(timeoutMs, &code)) {
    p.Kill();
    return -1;
  }
  return static_cast<long>(code);
}

bool WaitForFile(const std::wstring& path, DWORD timeoutMs) {
  return WaitUntil([&] { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }, timeoutMs);
}

HWND FindExecWindow(DWORD session) {
  wchar_t title[32];
  _snwprintf(title, 32, L"Quorvane%lu", session);
  title[31] = 0;
  return FindWindowW(L"QVNMOUEXEC", title);
}

std::string Narrow(const std::wstring& s) {
  if (s.empty()) return {};
  int n = WideCharToMultiByte(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0, nullptr, nullptr);
  std::string r(n, '\0');
  WideCharToMultiByte(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), &r[0], n, nullptr, nullptr);
  return r;
}

std::wstring Wide(const std::string& s) {
  if (s.empty()) return {};
  int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
  std::wstring r(n, L'\0');
  MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), &r[0], n);
  return r;
}

}  // namespace qvntest
