#include "session_start.h"

#include <shlwapi.h>
#include <userenv.h>
#include <wtsapi32.h>

#include <string>
#include <vector>

#include "process_sessions.h"
#include "session_restart_core.h"
#include "setup_log.h"
#include "setup_records.h"
#include "text_case.h"

namespace Utilities {

bool StartInSession(DWORD session, const wchar_t* app, const wchar_t* commandLine) {
  HANDLE token = nullptr;
  if (!WTSQueryUserToken(session, &token)) {
    SetupDebugPrint(qvn::kSetupLogError, L"WTSQueryUserToken failed %d\n", GetLastError());
    return false;
  }
  // The user's own %APPDATA%, %TEMP% and so on, not the system account's.
  void* environment = nullptr;
  if (!CreateEnvironmentBlock(&environment, token, FALSE)) {
    SetupDebugPrint(qvn::kSetupLogError, L"CreateEnvironmentBlock failed %d\n", GetLastError());
    environment = nullptr;
  }
  // Without a command line of its own the program gets its quoted path as
  // one, and no program name: the system then takes paths longer than
  // MAX_PATH (a deep install folder).
  std::wstring command = commandLine ? commandLine : L"\"" + std::wstring(app) + L"\"";
  wchar_t desktop[] = L"winsta0\\default";
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  si.lpDesktop = desktop;
  PROCESS_INFORMATION pi{};
  BOOL ok = CreateProcessAsUserW(token, nullptr, &command[0], nullptr, nullptr, FALSE,
                                 NORMAL_PRIORITY_CLASS | CREATE_UNICODE_ENVIRONMENT, environment, nullptr, &si, &pi);
  DWORD err = GetLastError();
  if (environment) DestroyEnvironmentBlock(environment);
  CloseHandle(token);
  if (!ok) {
    SetupDebugPrint(qvn::kSetupLogError, L"CreateProcessAsUser failed %d\n", err);
    return false;
  }
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return true;
}

bool ExecutableStart(const wchar_t* path) {
  qvn::setup::StartPlanInput plan;
  DWORD own = 0;
  if (!ProcessIdToSessionId(GetCurrentProcessId(), &own)) {
    SetupDebugPrint(qvn::kSetupLogError, L"ProcessIdToSessionId failed %d\n", GetLastError());
    return false;
  }
  plan.ownSession = own;
  plan.consoleSession = WTSGetActiveConsoleSessionId();
  const std::wstring name = qvn::FoldCase(PathFindFileNameW(path));
  std::wstring record;
  plan.haveRecord = SetupRecordGet(L"Restart", name.c_str(), &record);
  if (plan.haveRecord) plan.recorded = qvn::setup::ParseSessionRecord(record);

  std::vector<DWORD> asked = {plan.ownSession, plan.consoleSession};
  for (const auto& r : plan.recorded) asked.push_back(r.session);
  for (DWORD s : asked) {
    std::wstring sid;
    if (SessionUserSid(s, &sid)) qvn::setup::AddSessionUser(&plan.current, {s, sid});
  }
  for (const auto& r : SessionsRunning(PathFindFileNameW(path))) plan.running.push_back(r.session);

  std::vector<uint32_t> sessions = qvn::setup::SessionsToStart(plan);
  if (plan.current.empty() && !plan.haveRecord)
    SetupDebugPrint(qvn::kSetupLogError, L"WTSQueryUserToken failed %d\n", GetLastError());
  bool ok = true;
  for (uint32_t s : sessions) {
    SetupDebugPrint(qvn::kSetupLogInfo, L"Utilities::ExecutableStart %s in session %u\n", path, s);
    ok = StartInSession(s, path, nullptr) && ok;
  }
  for (uint32_t s : plan.running)
    SetupDebugPrint(qvn::kSetupLogInfo, L"Utilities::ExecutableStart already running in session %u\n", s);
  SetupRecordDelete(L"Restart", name.c_str());
  return ok && !sessions.empty();
}

}  // namespace Utilities
