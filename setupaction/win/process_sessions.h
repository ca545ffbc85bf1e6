// The user sessions the processes of a program run in.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "session_restart_core.h"

namespace Utilities {

// Session and owner (SID text) of an open process (query rights).
bool ProcessSessionUser(HANDLE process, DWORD pid, qvn::setup::SessionUser* user);

// Every session with a process whose main module's base name is `exeName`
// (case ignored), with the owner of the first such process.
std::vector<qvn::setup::SessionUser> SessionsRunning(const wchar_t* exeName);

// Identifiers of the running processes (empty when they cannot be listed).
std::vector<DWORD> ProcessIds();

// The user logged on to a session (SID text); false when there is none or
// the caller may not ask (only the system account may).
bool SessionUserSid(DWORD session, std::wstring* sid);

}  // namespace Utilities
