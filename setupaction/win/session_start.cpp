#include "session_start.h"

#include <wtsapi32.h>

#include "setup_log.h"

namespace Utilities {

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

}  // namespace Utilities
