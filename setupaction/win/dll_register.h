// Registration of a COM DLL.
#pragma once
#include <windows.h>

namespace Utilities {

// Loads a DLL and calls its DllRegisterServer; true when that succeeded.
bool DllRegister(const wchar_t* path);
// The same with DllUnregisterServer (the installer's undo of a
// registration).
bool DllUnregister(const wchar_t* path);

}  // namespace Utilities
