// How the control panel reaches the executive of the caller's session: its
// hidden main window, found by class and session title.
#pragma once
#include <windows.h>

// The executive's main window of this session, or null.
HWND QMCUtilInternalExecutableWindowFind();
// How long the settings-updated notification waits for the executive.
constexpr UINT kExecutiveAnswerMs = 2000;
// Sends WM_APP_QUORVANE_SETTINGS_UPDATED with code synchronously, waiting
// at most kExecutiveAnswerMs (at once when the executive is hung); 0 when
// no executive runs (not an error: it reads the settings at its start) or
// it did not answer (logged; it reads them at its next change or start).
LRESULT ExecutiveSettingsUpdatedSend(WPARAM code);
// Posts message with wParam (lParam 0); false when no executive runs.
bool ExecutiveMessagePost(UINT message, WPARAM wParam);
