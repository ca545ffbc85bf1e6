// Starting a program in logged-on users' sessions.
#pragma once
#include <windows.h>

namespace Utilities {

// Starts `app` (command line `commandLine`, may be null) as the user logged
// on to `session`, on that session's interactive desktop "winsta0\default"
// and with the user's own environment (works when the tool runs as the
// system account).
bool StartInSession(DWORD session, const wchar_t* app, const wchar_t* commandLine);

// Starts a program in each session ProcessesKillByName closed it in (the
// same user still logged on there), or, when it closed none of a program
// never recorded, in the tool's session or else the console's; never where
// a copy runs already.
bool ExecutableStart(const wchar_t* path);

}  // namespace Utilities
