// Tells every top-level window that a system parameter changed.
#pragma once
#include <windows.h>

// WM_SETTINGCHANGE with wParam = action, lParam 0, to HWND_BROADCAST,
// blocking but giving up on hung windows, at most 1000 ms; the result is
// of no interest.
namespace qvn {
void SystemChangeBroadcast(UINT action);
}  // namespace qvn
