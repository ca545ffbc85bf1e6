// Registration of a COM DLL.
#pragma once
#include <windows.h>

namespace Utilities {

// Loads a DLL and calls its DllRegisterServer.
bool DllRegister(const wchar_t* path);

}  // namespace Utilities
