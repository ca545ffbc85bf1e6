// Process, window, session and DLL services of the setup action tool,
// error names and the OEM INF listing.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace Utilities {

void ErrorNameLog(DWORD code);

// Ends every process whose main module's base name is `exeName` (case
// ignored), each after a grace of 20 seconds.
void ProcessesKillByName(const wchar_t* exeName);

// The first top-level window of the class, or the desktop window; brought
// to the top of the Z order. Never null.
HWND WindowParentForInstallPromptGet(const wchar_t* className);

// Starts a program as the user logged on to the tool's session (works when
// the tool runs as the system account).
bool ExecutableStart(const wchar_t* path);

// Loads a DLL and calls its DllRegisterServer.
bool DllRegister(const wchar_t* path);

// Full paths of "<windows>\INF\OEM*.INF", in the order the search gives.
bool GetOemInfFilePathNamesList(const wchar_t* windowsDir, std::vector<std::wstring>* list);

// The OEM INF list of this system (empty when the Windows folder is unknown).
std::vector<std::wstring> OemInfList();

// Folder of the running program, without a trailing backslash.
bool ModuleDirectory(wchar_t* dir, size_t room);

}  // namespace Utilities
