// The executive's start-up, main window, message loop and shutdown.
#pragma once
#include <windows.h>

#include "qvn_messages.h"

extern HINSTANCE g_hInstance;
extern HWND g_hMainWnd;  // the hidden main window, null before creation

int QMEExecutiveMain(HINSTANCE instance);
LRESULT CALLBACK QMEMainWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
