// System libraries the tool loads at run time: from the system folder
// only, never through the search path (which would take a copy planted in
// the current folder or beside the tool).
#pragma once
#include <windows.h>

namespace Utilities {

// Loads <system folder>\<name>; null (last error set) when it is not there.
HMODULE SystemLibraryLoad(const wchar_t* name);

}  // namespace Utilities
