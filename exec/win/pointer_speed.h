// Pointer-speed toggle: one step through the enabled presets. Runs on the
// device thread (button function 38) or the main thread (shortcut); blocks
// the caller for the 1 s flash. On success the caller refreshes the tray
// icon with QMETrayIcon(true, true).
#pragma once
#include <windows.h>

bool QMEFuncPointerSpeedToggle();

// The window that flashes the new preset's number.
bool CreatePointerSpeedFlashWindow();
// Re-reads the keyboard shortcut of the toggle.
void QMEPointerSpeedShortcutRead();
// A keystroke reported by the hook library: toggles on the shortcut.
void ProcessKeyboardKey(WPARAM wParam, LPARAM lParam);
