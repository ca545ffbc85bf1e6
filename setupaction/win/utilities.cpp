#include "utilities.h"

#include <psapi.h>
#include <shlwapi.h>
#include <wtsapi32.h>

#include <cstdlib>

#include "device_rules.h"
#include "qvnlog.h"
#include "setup_cmdline.h"
#include "setup_log.h"

namespace Utilities {

void ErrorNameLog(DWORD code) { SetupDebugPrint(qvn::kSetupLogPackage, L"%s", qvn::setup::ErrorName(code)); }

void ProcessesKillByName(const wchar_t* exeName) {
  DWORD entries = 2;
  DWORD* pids = nullptr;
  DWORD bytes = 0;
  for (;;) {
    pids = static_cast<DWORD*>(malloc(entries * sizeof(DWORD)));
    if (!pids) {
      SetupDebugPrint(qvn::kSetupLogError, L"Utilities::ProcessesKillByName NULL == pArrayPids\n");
      return;
    }
    if (!EnumProcesses(pids, entries * sizeof(DWORD), &bytes)) {
      SetupDebugPrint(qvn::kSetupLogError, L"Utilities::ProcessesKillByName EnumProcesses failed! %d\n", GetLastError());
      free(pids);
      return;
    }
    if (bytes != entries * sizeof(DWORD)) break;
    // A full array may have been too small.
    free(pids);
    entries += 2;
  }
  const size_t nameLen = wcslen(exeName);
  const DWORD count = bytes / sizeof(DWORD);
  for (DWORD i = 0; i < count; ++i) {
    const DWORD bufChars = static_cast<DWORD>(nameLen * 2);
    wchar_t* baseName = static_cast<wchar_t*>(calloc(bufChars + 1, sizeof(wchar_t)));
    if (!baseName) {
      SetupDebugPrint(qvn::kSetupLogError, L"Utilities::ProcessesKillByName NULL == lpBaseName\n");
      break;
    }
    // SYNCHRONIZE as well: without it the wait below fails at once and the
    // grace period is lost.
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ | PROCESS_TERMINATE | SYNCHRONIZE, FALSE,
                                 pids[i]);
    if (!process) {
      SetupDebugPrint(qvn::kSetupLogError, L"Utilities::ProcessesKillByName OpenProcess failed! %d\n", GetLastError());
      free(baseName);
      continue;
    }
    if (!GetModuleBaseNameW(process, nullptr, baseName, bufChars)) {
      SetupDebugPrint(qvn::kSetupLogError, L"Utilities::ProcessesKillByName GetModuleBaseNameW failed! %d\n", GetLastError());
    } else if (qvn::setup::ProcessNameMatches(baseName, exeName)) {
      // Time to close by itself, e.g. after -WindowCloseByClassName.
      if (WaitForSingleObject(process, 20000) == WAIT_FAILED)
        SetupDebugPrint(qvn::kSetupLogError, L"Utilities::ProcessesKillByName WaitForSingleObject failed! %d\n", GetLastError());
      if (!TerminateProcess(process, 0))
        SetupDebugPrint(qvn::kSetupLogError, L"Utilities::ProcessesKillByName TerminateProcess failed! %d\n", GetLastError());
    }
    CloseHandle(process);
    free(baseName);
  }
  free(pids);
}

HWND WindowParentForInstallPromptGet(const wchar_t* className) {
  HWND window = FindWindowW(className, nullptr);
  if (!window) {
    SetupDebugPrint(qvn::kSetupLogError, L"Utilities::WindowParentForInstallPromptGet FindWindowW failed! %s %d\n", className,
                    GetLastError());
    window = GetDesktopWindow();
  }
  if (!SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE))
    SetupDebugPrint(qvn::kSetupLogError, L"Utilities::WindowParentForInstallPromptGet SetWindowPos failed! %d \n",
                    GetLastError());
  return window;
}

bool ExecutableStart(const wchar_t* path) {
  DWORD session = 0;
  if (!ProcessIdToSessionId(GetCurrentProcessId(), &session)) {
    SetupDebugPrint(qvn::kSetupLogError, L"ProcessIdToSessionId failed %d\n", GetLastError());
    return false;
  }
  HANDLE token = nullptr;
  if (!WTSQueryUserToken(session, &token)) {
    DWORD console = WTSGetActiveConsoleSessionId();
    if (!WTSQueryUserToken(console, &token)) {
      SetupDebugPrint(qvn::kSetupLogError, L"WTSQueryUserToken failed %d\n", GetLastError());
      return false;
    }
  }
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi{};
  BOOL ok = CreateProcessAsUserW(token, path, nullptr, nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS, nullptr,
                                 nullptr, &si, &pi);
  DWORD err = GetLastError();
  CloseHandle(token);
  if (!ok) {
    SetupDebugPrint(qvn::kSetupLogError, L"CreateProcessAsUser failed %d\n", err);
    return false;
  }
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return true;
}

bool DllRegister(const wchar_t* path) {
  // The DLL's own folder is searched for its dependencies, never the
  // current directory.
  HMODULE dll = LoadLibraryExW(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  if (!dll) {
    SetupDebugPrint(qvn::kSetupLogError, L"Utilities::DllRegister LoadLibrary failed! %d\n", GetLastError());
    return false;
  }
  using RegisterFn = HRESULT(WINAPI*)();
  auto fn = reinterpret_cast<RegisterFn>(GetProcAddress(dll, "DllRegisterServer"));
  if (!fn) {
    SetupDebugPrint(qvn::kSetupLogError, L"-RegisterDll GetProcAddress failed! %d\n", GetLastError());
    FreeLibrary(dll);
    return false;
  }
  fn();
  FreeLibrary(dll);
  return true;
}

bool GetOemInfFilePathNamesList(const wchar_t* windowsDir, std::vector<std::wstring>* list) {
  wchar_t infDir[MAX_PATH];
  if (wcslen(windowsDir) >= MAX_PATH) {
    SetupDebugPrint(qvn::kSetupLogError, L"Utilities::GetOemInfFilePathNamesList PathAppend I failed %d\n",
                    ERROR_FILENAME_EXCED_RANGE);
    return false;
  }
  wcscpy(infDir, windowsDir);
  if (!PathAppendW(infDir, L"INF")) {
    SetupDebugPrint(qvn::kSetupLogError, L"Utilities::GetOemInfFilePathNamesList PathAppend I failed %d\n", GetLastError());
    return false;
  }
  wchar_t pattern[MAX_PATH];
  wcscpy(pattern, infDir);
  if (!PathAppendW(pattern, L"OEM*.INF")) {
    SetupDebugPrint(qvn::kSetupLogError, L"Utilities::GetOemInfFilePathNamesList PathAppend II failed %d\n", GetLastError());
    return false;
  }
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(pattern, &found);
  if (search == INVALID_HANDLE_VALUE) {
    SetupDebugPrint(qvn::kSetupLogDevice, L"Utilities::GetOemInfFilePathNamesList FindFirstFile failed %d\n", GetLastError());
    return false;
  }
  for (;;) {
    std::wstring full = std::wstring(infDir) + L"\\" + found.cFileName;
    // Longer paths would not fit the library's and the system's path buffers.
    if (full.size() < MAX_PATH) list->push_back(full);
    if (!FindNextFileW(search, &found)) {
      DWORD err = GetLastError();
      FindClose(search);
      if (err == ERROR_NO_MORE_FILES) return true;
      SetupDebugPrint(qvn::kSetupLogError, L"Utilities::GetOemInfFilePathNamesList GetFindNextFile failed %d\n", err);
      return false;
    }
  }
}

std::vector<std::wstring> OemInfList() {
  std::vector<std::wstring> list;
  wchar_t windows[MAX_PATH];
  UINT n = GetWindowsDirectoryW(windows, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) {
    SetupDebugPrint(qvn::kSetupLogError, L"Utilities::GetOemInfFilePathNamesList GetWindowsDirectory failed %d\n",
                    GetLastError());
    return list;
  }
  GetOemInfFilePathNamesList(windows, &list);
  return list;
}

bool ModuleDirectory(wchar_t* dir, size_t room) {
  DWORD n = GetModuleFileNameW(nullptr, dir, static_cast<DWORD>(room));
  if (n == 0 || n >= room) return false;
  wchar_t* slash = wcsrchr(dir, L'\\');
  if (!slash) return false;
  *slash = 0;
  return true;
}

}  // namespace Utilities
