// Wrappers of the driver-package library DIFXAPI.dll, loaded at run time
// from the tool's own folder or else the system folder.
#pragma once
#include <windows.h>

namespace DifxApi {

DWORD DriverPackagePreinstall(const wchar_t* infPath);
DWORD DriverPackageInstall(const wchar_t* infPath);
DWORD DriverPackageUninstall(const wchar_t* infPath);
void UninstallPackagesByOemInf(const wchar_t* infName);

void __cdecl LogCallback(int eventType, DWORD error, const wchar_t* text, void* context);

}  // namespace DifxApi
