// The Pointer Speed page's trackbars: range 0 to 10 in single steps, and a
// filter that marks the page changed only when a drag or key press ends at
// a position other than the last one the page knows.
#pragma once
#include <windows.h>

// Installs the filter (once) and sets page size 1, line size 1, range
// 0..10 and a tick at every position.
void TrackbarInit(HWND page, int trackbarId);
// Moves the trackbar and remembers the position as the last known one;
// does nothing when the trackbar is missing.
void TrackbarPositionSet(HWND page, int trackbarId, int position);
// The filter procedure; every message ends at the trackbar's own.
LRESULT CALLBACK InternalWndProcTrackbar(HWND trackbar, UINT message, WPARAM wParam, LPARAM lParam);
