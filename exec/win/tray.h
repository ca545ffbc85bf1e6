// The tray icon of the executive: the program's icon, or the pointer-speed
// preset's icon while more than one preset is enabled.
#pragma once
#include <windows.h>

// Adds (show), changes (modify) or removes the icon. An add the shell
// refuses (the notification area is not ready yet, at logon) is tried
// again every kQmeTrayRetryMs through the main window's timer
// kQmeTrayRetryTimer, until an add succeeds or the icon is removed.
bool QMETrayIcon(bool show, bool modify);

constexpr UINT_PTR kQmeTrayRetryTimer = 108;
constexpr UINT kQmeTrayRetryMs = 2000;
