#include "oem_inf_list.h"

#include <shlwapi.h>

#include "setup_log.h"

namespace Utilities {

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

}  // namespace Utilities
