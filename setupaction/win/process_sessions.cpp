#include "process_sessions.h"

#include <psapi.h>
#include <sddl.h>
#include <wtsapi32.h>

#include "process_names.h"

namespace Utilities {

namespace {

bool TokenSid(HANDLE token, std::wstring* sid) {
  BYTE buf[512];
  DWORD n = 0;
  if (!GetTokenInformation(token, TokenUser, buf, sizeof(buf), &n)) return false;
  wchar_t* text = nullptr;
  if (!ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buf)->User.Sid, &text)) return false;
  *sid = text;
  LocalFree(text);
  return true;
}

}  // namespace

bool ProcessSessionUser(HANDLE process, DWORD pid, qvn::setup::SessionUser* user) {
  DWORD session = 0;
  HANDLE token = nullptr;
  if (!ProcessIdToSessionId(pid, &session) || !OpenProcessToken(process, TOKEN_QUERY, &token)) return false;
  bool ok = TokenSid(token, &user->sid);
  CloseHandle(token);
  user->session = session;
  return ok;
}

std::vector<DWORD> ProcessIds() {
  // The array grows until the system's answer leaves room to spare.
  std::vector<DWORD> pids(64);
  for (;;) {
    DWORD bytes = 0;
    if (!EnumProcesses(pids.data(), static_cast<DWORD>(pids.size() * sizeof(DWORD)), &bytes)) return {};
    if (bytes < pids.size() * sizeof(DWORD)) {
      pids.resize(bytes / sizeof(DWORD));
      return pids;
    }
    pids.resize(pids.size() * 2);
  }
}

std::vector<qvn::setup::SessionUser> SessionsRunning(const wchar_t* exeName) {
  std::vector<qvn::setup::SessionUser> users;
  for (DWORD pid : ProcessIds()) {
    HANDLE p = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
    if (!p) continue;
    wchar_t name[MAX_PATH] = {};
    qvn::setup::SessionUser user;
    if (GetModuleBaseNameW(p, nullptr, name, MAX_PATH) && qvn::setup::ProcessNameMatches(name, exeName) &&
        ProcessSessionUser(p, pid, &user))
      qvn::setup::AddSessionUser(&users, user);
    CloseHandle(p);
  }
  return users;
}

bool SessionUserSid(DWORD session, std::wstring* sid) {
  HANDLE token = nullptr;
  if (!WTSQueryUserToken(session, &token)) return false;
  bool ok = TokenSid(token, sid);
  CloseHandle(token);
  return ok;
}

}  // namespace Utilities
