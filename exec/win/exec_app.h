// The executive's start-up, main window, message loop and shutdown.
#pragma once
#include <windows.h>

#include "qvn_messages.h"

// Sent by the device thread when its link stopped without being asked to
// (a failed wait, a device change): the main thread releases what is held.
constexpr UINT WM_APP_QUORVANE_LINK_STOPPED = WM_APP + 0x110;
// Posted by the driver-update worker after a run of the setup tool
// (wParam: the hardware identifier's index): the device thread tries the
// driver again if it is not open.
constexpr UINT WM_APP_QUORVANE_DRIVER_UPDATED = WM_APP + 0x111;
// Posted by the pointer-speed worker after a toggle step that succeeded:
// the main thread refreshes the tray icon.
constexpr UINT WM_APP_QUORVANE_SPEED_TOGGLED = WM_APP + 0x112;

extern HINSTANCE g_hInstance;
extern HWND g_hMainWnd;  // the hidden main window, null before creation

int QMEExecutiveMain(HINSTANCE instance);
LRESULT CALLBACK QMEMainWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
