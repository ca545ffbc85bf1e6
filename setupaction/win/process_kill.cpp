#include "process_kill.h"

#include <psapi.h>

#include <cstdlib>

#include "process_names.h"
#include "setup_log.h"

namespace Utilities {

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

}  // namespace Utilities
