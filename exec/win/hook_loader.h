// Loading of the hook library QvnMouseHook.DLL from the executive's folder.
#pragma once
#include <windows.h>

// Loads the library, hands it the main window and installs its hooks.
bool QMEHookInstall(HWND mainWindow);
// Removes the hooks and unloads the library.
void QMEHookRemove();
