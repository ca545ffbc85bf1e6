// The executive's shared utilities: windows under the cursor, program names,
// operating-system version, process start, module path.
#pragma once
#include <windows.h>

constexpr size_t kQvnPathChars = 260;

bool QMEUtilWindowNonChildUnderneathCursorGet(HWND* window);
// Drive-letter path of the program file of the process that owns `window`
// (kQvnPathChars out).
bool QMEUtilWindowImagePathGet(HWND window, wchar_t* path);
// Display name of the program that owns `window`: its version file
// description, else its file name. `name` holds kQvnPathChars characters.
bool QMEUtilWindowExecutableNameGet(HWND window, wchar_t* name);
// File description of the file's version information (kQvnPathChars out).
bool QMEUtilInternalVersionInfoGetProductName(const wchar_t* path, wchar_t* description);
// Replaces a leading device name (\Device\HarddiskVolume1\...) by its drive
// letter; returns false (path unchanged) when no drive matches.
bool QMEUtilDevicePathToDrivePath(wchar_t* path, size_t capacity);
bool QMEUtilIsVistaOrAbove();
bool QMEUtilShellExecuteProcess(const wchar_t* file, const wchar_t* directory, const wchar_t* parameters,
                                bool elevated, HANDLE* process);
// Starts the program and waits for its exit code: at most `timeoutMs`, and
// only until `stop` (optional) is signalled. A program still running then
// is left to run and reported as a failure (logged).
bool QMEUtilShellExecuteProcessAndWait(const wchar_t* file, const wchar_t* directory,
                                       const wchar_t* parameters, bool elevated, DWORD* exitCode,
                                       HANDLE stop = nullptr, DWORD timeoutMs = INFINITE);
// Directory of the module (no trailing backslash); `path` holds kQvnPathChars.
bool QMEUtilGetCurrentModulePath(HMODULE module, wchar_t* path);
