// The folder of the running program.
#pragma once
#include <windows.h>

namespace Utilities {

// Folder of the running program, without a trailing backslash.
bool ModuleDirectory(wchar_t* dir, size_t room);

}  // namespace Utilities
