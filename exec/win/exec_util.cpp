#include "exec_util.h"

#include <psapi.h>
#include <shellapi.h>
#include <shlwapi.h>

#include <cwchar>

#include "process_start_core.h"
#include "program_name.h"
#include "qvnlog.h"

namespace {

void CopyText(wchar_t* dst, size_t capacity, const wchar_t* src) {
  if (!capacity) return;
  size_t n = 0;
  while (src[n] && n + 1 < capacity) { dst[n] = src[n]; ++n; }
  dst[n] = 0;
}

}  // namespace

bool QMEUtilWindowNonChildUnderneathCursorGet(HWND* window) {
  POINT pt;
  if (!GetCursorPos(&pt)) {
    DebugPrint(qvn::kExecLogError, L"QMEUtilWindowNonChildUnderneathCursorGet GetCursorPos failed! %d", GetLastError());
    return false;
  }
  HWND w = WindowFromPoint(pt);
  if (!w) {
    DebugPrint(qvn::kExecLogError, L"QMEUtilWindowNonChildUnderneathCursorGet WindowFromPoint failed! %d", GetLastError());
    return false;
  }
  for (;;) {
    if (!(GetWindowLongPtrW(w, GWL_STYLE) & WS_CHILD)) break;
    HWND parent = GetAncestor(w, GA_PARENT);
    if (!parent) break;
    w = parent;
  }
  *window = w;
  return true;
}

bool QMEUtilDevicePathToDrivePath(wchar_t* path, size_t capacity) {
  wchar_t drives[512];
  DWORD n = GetLogicalDriveStringsW(511, drives);
  if (n == 0 || n > 511) return false;
  drives[511] = 0;
  for (const wchar_t* d = drives; *d; d += wcslen(d) + 1) {
    wchar_t drive[3] = {d[0], L':', 0};
    wchar_t device[512];
    if (!QueryDosDeviceW(drive, device, 512)) continue;
    device[511] = 0;
    size_t len = wcslen(device);
    if (len == 0 || len >= kQvnPathChars) continue;
    if (_wcsnicmp(path, device, len) != 0) continue;
    // Only a whole path component counts: \Device\HarddiskVolume1 must not
    // claim \Device\HarddiskVolume10\...
    if (path[len] != 0 && path[len] != L'\\') continue;
    wchar_t rest[kQvnPathChars];
    CopyText(rest, kQvnPathChars, path + len);
    QvnFormatWf(path, capacity, L"%s%s", drive, rest);
    return true;
  }
  return false;
}

bool QMEUtilInternalVersionInfoGetProductName(const wchar_t* path, wchar_t* description) {
  DWORD error = 0;
  switch (QvnProgramDescriptionGet(path, description, kQvnPathChars, &error)) {
    case QvnDescriptionStatus::kFound:
      return true;
    case QvnDescriptionStatus::kNoVersionInfo:
      DebugPrint(qvn::kExecLogError, L"QMEUtilInternalVersionInfoGetProductName GetFileVersionInfo failed! %d", error);
      return false;
    case QvnDescriptionStatus::kNoTranslation:
      DebugPrint(qvn::kExecLogError, L"QMEUtilInternalVersionInfoGetProductName VerQueryValue failed! %d", error);
      return false;
    case QvnDescriptionStatus::kNoDescription:
      break;
  }
  DebugPrint(qvn::kExecLogError, L"QMEUtilInternalVersionInfoGetProductName Len <= 1! %d", error);
  return false;
}

bool QMEUtilWindowImagePathGet(HWND window, wchar_t* path) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  path[0] = 0;
  if (QMEUtilIsVistaOrAbove()) {
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (!process) {
      DebugPrint(qvn::kExecLogError, L"QMEUtilWindowExecutableNameGet OpenProcess failed! %d", GetLastError());
      return false;
    }
    DWORD n = GetProcessImageFileNameW(process, path, kQvnPathChars);
    CloseHandle(process);
    if (n == 0) {
      DebugPrint(qvn::kExecLogError, L"QMEUtilWindowExecutableNameGet GetProcessImageFileName failed! %d", GetLastError());
      return false;
    }
    path[kQvnPathChars - 1] = 0;
    QMEUtilDevicePathToDrivePath(path, kQvnPathChars);
  } else {
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
    if (!process) {
      DebugPrint(qvn::kExecLogError, L"QMEUtilWindowExecutableNameGet OpenProcess failed! %d", GetLastError());
      return false;
    }
    DWORD n = GetModuleFileNameExW(process, nullptr, path, kQvnPathChars);
    CloseHandle(process);
    if (n == 0) {
      DebugPrint(qvn::kExecLogError, L"QMEUtilWindowExecutableNameGet GetModuleFileNameEx failed! %d", GetLastError());
      return false;
    }
    path[kQvnPathChars - 1] = 0;
  }
  return true;
}

bool QMEUtilWindowExecutableNameGet(HWND window, wchar_t* name) {
  wchar_t path[kQvnPathChars] = {0};
  if (!QMEUtilWindowImagePathGet(window, path)) return false;
  if (!QMEUtilInternalVersionInfoGetProductName(path, name)) {
    DebugPrint(qvn::kExecLogInfo, L"QMEUtilWindowExecutableNameGet QMEUtilInternalVersionInfoGetProductName failed! (this is not necessarily an error)");
    // The same name the control panel stores for a program without one.
    QvnProgramNameGet(path, name, kQvnPathChars, nullptr);
  }
  DebugPrint(qvn::kExecLogInfo, L"QMEUtilWindowExecutableNameGet %s  ", name);
  return true;
}

bool QMEUtilIsVistaOrAbove() {
  OSVERSIONINFOEXW info{};
  info.dwOSVersionInfoSize = sizeof(info);
  if (!GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&info))) {
    DebugPrint(qvn::kExecLogError, L"QMEUtilIsVistaOrAbove GetVersionEx failed! %d", GetLastError());
    return false;
  }
  DebugPrint(qvn::kExecLogInfo, L"QMEUtilIsVistaOrAbove! OsVersionInfoEx.dwMajorVersion: %d", info.dwMajorVersion);
  return info.dwMajorVersion > 5;
}

bool QMEUtilShellExecuteProcess(const wchar_t* file, const wchar_t* directory, const wchar_t* parameters,
                                bool elevated, HANDLE* process) {
  SHELLEXECUTEINFOW sei{};
  sei.cbSize = sizeof(sei);
  // No error boxes from the shell: the caller logs the failure, and a box
  // would hold the device thread (driver update) until someone clicks it.
  sei.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
  sei.hwnd = nullptr;
  sei.lpVerb = elevated ? L"runas" : nullptr;
  sei.lpFile = file;
  sei.lpParameters = parameters;
  sei.lpDirectory = directory;
  sei.nShow = SW_SHOWNORMAL;
  DebugPrint(qvn::kExecLogInfo, L"ShellExecuteEx: %s %s %s", directory ? directory : L"", file ? file : L"",
             parameters ? parameters : L"");
  if (ShellExecuteExW(&sei)) {
    if (process) *process = sei.hProcess;
    else if (sei.hProcess) CloseHandle(sei.hProcess);
    return true;
  }
  DWORD err = GetLastError();
  if (qvn::ClassifyStartFailure(elevated, err) == qvn::StartFailure::RefusedElevation) {
    DebugPrint(qvn::kExecLogInfo, L"ShellExecuteExW cancelled by user");
    if (process) *process = INVALID_HANDLE_VALUE;
    return true;
  }
  DebugPrint(qvn::kExecLogError, L"ShellExecuteExW failed! %d", err);
  return false;
}

bool QMEUtilShellExecuteProcessAndWait(const wchar_t* file, const wchar_t* directory,
                                       const wchar_t* parameters, bool elevated, DWORD* exitCode,
                                       HANDLE stop, DWORD timeoutMs) {
  HANDLE process = nullptr;
  if (!QMEUtilShellExecuteProcess(file, directory, parameters, elevated, &process)) {
    DebugPrint(qvn::kExecLogError, L"QMEUtilShellExecuteProcessAndWait QMEUtilShellExecuteProcess failed!");
    return false;
  }
  if (process == INVALID_HANDLE_VALUE) {  // the user refused the elevation
    if (exitCode) *exitCode = 0;
    return true;
  }
  if (!process) {  // the shell handed the file to an already running program
    if (exitCode) *exitCode = 0;
    return true;
  }
  HANDLE waits[2] = {process, stop};
  DWORD r = WaitForMultipleObjects(stop ? 2 : 1, waits, FALSE, timeoutMs);
  if (r != WAIT_OBJECT_0) {
    if (r == WAIT_TIMEOUT)
      DebugPrint(qvn::kExecLogError, L"QMEUtilShellExecuteProcessAndWait %s still running after %u ms, not waited for any longer!",
                 file, static_cast<unsigned>(timeoutMs));
    else if (r == WAIT_OBJECT_0 + 1)
      DebugPrint(qvn::kExecLogInfo, L"QMEUtilShellExecuteProcessAndWait %s: the wait was stopped", file);
    else
      DebugPrint(qvn::kExecLogError, L"WaitForSingleObject failed! %d", GetLastError());
    CloseHandle(process);
    return false;
  }
  if (exitCode && !GetExitCodeProcess(process, exitCode)) {
    DebugPrint(qvn::kExecLogError, L"GetExitCodeProcess failed! %d", GetLastError());
    CloseHandle(process);
    return false;
  }
  CloseHandle(process);
  return true;
}

bool QMEUtilGetCurrentModulePath(HMODULE module, wchar_t* path) {
  DWORD n = GetModuleFileNameW(module, path, kQvnPathChars);
  if (n == 0 || n >= kQvnPathChars) {
    DebugPrint(qvn::kExecLogError, L"QMEUtilGetCurrentModulePath GetModuleFileNameW failed! %d", GetLastError());
    return false;
  }
  if (!PathRemoveFileSpecW(path)) {
    DebugPrint(qvn::kExecLogError, L"QMEUtilGetCurrentModulePath PathRemoveFileSpecW failed! %d", GetLastError());
    return false;
  }
  return true;
}
