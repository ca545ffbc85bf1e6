// The Break page's sound preview: one worker thread per page window plays
// a wave file through MCI command strings while the page's play/stop
// buttons show what happens. The worker never waits for the page's
// thread: it posts what the page must show (icons, the preview timer).
#pragma once
#include <windows.h>

// Posted by the worker to the page: a play began (or was refused) with the
// sound's length, or the sound was stopped. The page's dialog procedure
// hands it to BreakPreviewStateApply.
namespace qvn {

constexpr UINT WM_APP_BREAK_PREVIEW_STATE = WM_APP + 0x31;

// Creates the events and the worker for page, and shows "play" on both
// preview buttons. False when the worker could not be started (logged;
// the preview buttons then do nothing).
bool BreakPreviewStart(HWND page);
// Ends the worker (closing any open sound), waits a bounded time for it
// and releases its events and the icons. Safe to call twice.
void BreakPreviewStop();
// A press of the break (true) or resume preview button: stops a playing
// sound, or starts playing the list entry.
void BreakPreviewButtonPressed(bool breakButton, const wchar_t* entry);
// Runs on the page's thread for WM_APP_BREAK_PREVIEW_STATE.
void BreakPreviewStateApply(WPARAM wParam, LPARAM lParam);

}  // namespace qvn

// The preview timer's procedure (timer 0 of the page).
void CALLBACK TimeToPlayWaveFileProc(HWND page, UINT message, UINT_PTR id, DWORD time);
