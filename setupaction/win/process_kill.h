// Ending the processes of a program by file name.
#pragma once
#include <windows.h>

namespace Utilities {

// Ends every process whose main module's base name is `exeName` (case
// ignored), in every user session. The sessions they ran in (with their
// users) are recorded, so that ExecutableStart starts the program there
// again. With `windowClass`, each is first asked to close: the window of
// that class in its own session gets WM_DESTROY. All of them share one
// grace period of 20 seconds before the rest is terminated.
void ProcessesKillByName(const wchar_t* exeName, const wchar_t* windowClass);

}  // namespace Utilities
