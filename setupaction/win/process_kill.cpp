#include "process_kill.h"

#include <psapi.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "module_folder.h"
#include "process_names.h"
#include "process_sessions.h"
#include "session_restart_core.h"
#include "session_start.h"
#include "setup_log.h"
#include "setup_records.h"
#include "text_case.h"

namespace Utilities {

namespace {

constexpr DWORD kGraceMs = 20000;

// Asks the program's window in `session` to close: directly in the tool's
// own session, else through a copy of the tool started there as that
// session's user (windows of other sessions are out of reach).
void CloseWindowInSession(DWORD session, DWORD ownSession, const wchar_t* windowClass) {
  if (session == ownSession) {
    HWND w = FindWindowW(windowClass, nullptr);
    if (w)
      PostMessageW(w, WM_DESTROY, 0, 0);
    else
      SetupDebugPrint(qvn::kSetupLogError, L"Utilities::ProcessesKillByName FindWindowW failed! %s %d\n", windowClass,
                      GetLastError());
    return;
  }
  std::vector<wchar_t> self(32768, 0);
  DWORD n = GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size()));
  if (n == 0 || n >= self.size()) return;
  std::wstring command = L"\"" + std::wstring(self.data()) + L"\" -WindowCloseByClassName," + windowClass;
  if (!StartInSession(session, self.data(), command.c_str()))
    SetupDebugPrint(qvn::kSetupLogError, L"Utilities::ProcessesKillByName no closer in session %u\n", session);
}

}  // namespace

void ProcessesKillByName(const wchar_t* exeName, const wchar_t* windowClass) {
  std::vector<DWORD> pids = ProcessIds();
  if (pids.empty()) {
    SetupDebugPrint(qvn::kSetupLogError, L"Utilities::ProcessesKillByName EnumProcesses failed! %d\n", GetLastError());
    return;
  }
  DWORD ownSession = 0;
  ProcessIdToSessionId(GetCurrentProcessId(), &ownSession);
  const size_t nameLen = wcslen(exeName);
  std::vector<HANDLE> matching;
  std::vector<qvn::setup::SessionUser> sessions;
  for (DWORD pid : pids) {
    const DWORD bufChars = static_cast<DWORD>(nameLen * 2);
    std::vector<wchar_t> baseName(bufChars + 1, 0);
    // SYNCHRONIZE as well: without it the wait below fails at once and the
    // grace period is lost.
    HANDLE process =
        OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ | PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid);
    if (!process) {
      SetupDebugPrint(qvn::kSetupLogError, L"Utilities::ProcessesKillByName OpenProcess failed! %d\n", GetLastError());
      continue;
    }
    if (!GetModuleBaseNameW(process, nullptr, baseName.data(), bufChars)) {
      SetupDebugPrint(qvn::kSetupLogError, L"Utilities::ProcessesKillByName GetModuleBaseNameW failed! %d\n", GetLastError());
    } else if (qvn::setup::ProcessNameMatches(baseName.data(), exeName)) {
      qvn::setup::SessionUser user;
      if (ProcessSessionUser(process, pid, &user)) {
        SetupDebugPrint(qvn::kSetupLogInfo, L"Utilities::ProcessesKillByName %s runs in session %u\n", exeName,
                        user.session);
        qvn::setup::AddSessionUser(&sessions, user);
      }
      matching.push_back(process);
      continue;
    }
    CloseHandle(process);
  }
  // Where to start it again after the files are replaced.
  SetupRecordSet(L"Restart", qvn::FoldCase(exeName).c_str(), qvn::setup::FormatSessionRecord(sessions));

  if (windowClass && *windowClass)
    for (const auto& s : sessions) CloseWindowInSession(s.session, ownSession, windowClass);
  // One grace period for all of them, then the rest is ended.
  const DWORD start = GetTickCount();
  for (HANDLE process : matching) {
    DWORD spent = GetTickCount() - start;
    DWORD left = spent < kGraceMs ? kGraceMs - spent : 0;
    if (WaitForSingleObject(process, left) == WAIT_FAILED)
      SetupDebugPrint(qvn::kSetupLogError, L"Utilities::ProcessesKillByName WaitForSingleObject failed! %d\n", GetLastError());
  }
  for (HANDLE process : matching) {
    if (!TerminateProcess(process, 0))
      SetupDebugPrint(qvn::kSetupLogError, L"Utilities::ProcessesKillByName TerminateProcess failed! %d\n", GetLastError());
    CloseHandle(process);
  }
}

}  // namespace Utilities
