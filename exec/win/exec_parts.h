// Entry points the main window calls into the executive's other engines.
// Each engine's own source file defines its group.
#pragma once
#include <windows.h>

// Device thread (driver link): device_thread.cpp
struct QMEThreadDeviceData;
extern QMEThreadDeviceData g_DeviceThreadData;
bool QMEThreadDeviceStart(QMEThreadDeviceData* data, const wchar_t* deviceName);
void QMEThreadDeviceRequestExitAndWait(QMEThreadDeviceData* data);
void QMEThreadDeviceSignalConfigChange(QMEThreadDeviceData* data);
void QMEThreadDeviceSignalDeviceChange(QMEThreadDeviceData* data);

// Click-lock / auto-click / zoom state machine: fstm.cpp
bool QMEFstmInitialize();  // state table and auto-click / click-lock parameters
void QMEFstmEvent(unsigned eventNumber, LPARAM argument);  // main thread only

// Tray icon, flash window, keyboard shortcut, hook library: pointer_speed.cpp, tray.cpp, hooklib.cpp
bool QMETrayIcon(bool show, bool modify);
bool CreatePointerSpeedFlashWindow();
void QMEPointerSpeedShortcutRead();
void ProcessKeyboardKey(WPARAM wParam, LPARAM lParam);
bool QMEHookInstall(HWND mainWindow);
void QMEHookRemove();

// Break reminder thread: break_reminder.cpp
bool QMEThreadBreakCreate();
bool QMEThreadBreakRequestExitAndWait();
void QMEThreadBreakReset();  // signals the reset event when the thread exists
