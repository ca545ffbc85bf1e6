// Starting a program in the logged-on user's session.
#pragma once
#include <windows.h>

namespace Utilities {

// Starts a program as the user logged on to the tool's session (works when
// the tool runs as the system account).
bool ExecutableStart(const wchar_t* path);

}  // namespace Utilities
