// The DPI a window, a monitor or the system draws at, and what follows from
// it: system metrics and the generated picture to load. The per-monitor
// functions are looked up at run time; where Windows (or Wine) lacks them
// the system DPI stands in.
#pragma once

#include <windows.h>

namespace qvn {

// DPI messages of Windows 8.1 and 10 (the build targets Windows 7 headers).
constexpr UINT kWmDpiChanged = 0x02E0;             // WM_DPICHANGED
constexpr UINT kWmDpiChangedAfterParent = 0x02E3;  // WM_DPICHANGED_AFTERPARENT

// DPI of the system (the primary monitor's for a DPI-unaware process, 96 on
// Windows when the process is not DPI-aware).
UINT SystemDpi();

// DPI of the monitor hwnd is on (GetDpiForWindow), else the system DPI.
UINT DpiForWindow(HWND hwnd);

// Effective DPI of a monitor (GetDpiForMonitor), else the system DPI.
UINT DpiForMonitor(HMONITOR monitor);

// The monitor under the pointer: its rectangle and DPI. False, with both
// left as they are, when the pointer or its monitor cannot be read.
bool MonitorUnderPointer(RECT* monitorRect, UINT* dpi);

// GetSystemMetricsForDpi, else the system metric taken to dpi.
int SystemMetricForDpi(int index, UINT dpi);

// An icon or cursor of the module at the generated size nearest to
// sizeAt96 at dpi (no stretching between generated sizes). The caller
// destroys it.
HICON LoadIconForDpi(HINSTANCE module, int id, int sizeAt96, UINT dpi);
HCURSOR LoadCursorForDpi(HINSTANCE module, int id, int sizeAt96, UINT dpi);

// The side of the icon LoadIconForDpi gives for sizeAt96 at dpi.
int IconSizeForDpi(int sizeAt96, UINT dpi);

// The process's DPI awareness for the log: 0 unaware, 1 system, 2 per
// monitor; -1 when the system cannot tell.
int ProcessDpiAwareness();

}  // namespace qvn
