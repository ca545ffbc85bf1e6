// Pointer-speed toggle: one step through the enabled presets, asked for by
// the device thread (button function 38) or the main thread (shortcut).
// The step runs on a worker of its own: writing the system's mouse
// parameters broadcasts the change to every window and can take a while,
// and no thread that serves buttons or keys waits for it, nor for the
// one-second flash, which the flash window times itself. After a step that
// succeeded the worker posts WM_APP_QUORVANE_SPEED_TOGGLED to the main
// window, which refreshes the tray icon with QMETrayIcon(true, true).
#pragma once
#include <windows.h>

// Hands one step to the worker (started when idle). Any thread.
void QMEPointerSpeedToggleRequest();
// Waits for the worker to finish its step (serving this thread's messages
// meanwhile); steps not yet taken are dropped. Main thread, at exit.
void QMEPointerSpeedToggleStop();
// One step, on the calling thread; true on success.
bool QMEFuncPointerSpeedToggle();

// The window that flashes the new preset's number.
bool CreatePointerSpeedFlashWindow();
// Re-reads the keyboard shortcut of the toggle.
void QMEPointerSpeedShortcutRead();
// A keystroke reported by the hook library: toggles on the shortcut.
void ProcessKeyboardKey(WPARAM wParam, LPARAM lParam);
