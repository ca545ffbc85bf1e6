// Placeholder until the tray icon, pointer-speed toggle and hook library land.
#include "exec_parts.h"

bool QMETrayIcon(bool, bool) { return true; }
bool CreatePointerSpeedFlashWindow() { return true; }
void QMEPointerSpeedShortcutRead() {}
void ProcessKeyboardKey(WPARAM, LPARAM) {}
bool QMEHookInstall(HWND) { return true; }
void QMEHookRemove() {}
