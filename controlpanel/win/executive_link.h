// How the control panel reaches the executive of the caller's session: its
// hidden main window, found by class and session title.
#pragma once
#include <windows.h>

// The executive's main window of this session, or null.
HWND QMCUtilInternalExecutableWindowFind();
// Sends WM_APP_QUORVANE_SETTINGS_UPDATED with code synchronously; 0 when
// no executive runs (not an error: it reads the settings at its start).
LRESULT ExecutiveSettingsUpdatedSend(WPARAM code);
// Posts message with wParam (lParam 0); false when no executive runs.
bool ExecutiveMessagePost(UINT message, WPARAM wParam);
