// Ending the processes of a program by file name.
#pragma once
#include <windows.h>

namespace Utilities {

// Ends every process whose main module's base name is `exeName` (case
// ignored), each after a grace of 20 seconds.
void ProcessesKillByName(const wchar_t* exeName);

}  // namespace Utilities
