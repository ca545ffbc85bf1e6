#include "window_dpi.h"

#include "picture_scale_core.h"

namespace qvn {
namespace {

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
using GetSystemMetricsForDpiFn = int(WINAPI*)(int, UINT);
using GetThreadDpiAwarenessContextFn = HANDLE(WINAPI*)();
using GetAwarenessFromDpiAwarenessContextFn = int(WINAPI*)(HANDLE);

template <typename Fn>
Fn User32Function(const char* name) {
  HMODULE user32 = GetModuleHandleW(L"user32.dll");
  return user32 ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(user32, name))) : nullptr;
}

GetDpiForMonitorFn MonitorDpiFunction() {
  // shcore.dll is loaded once and kept: it is a system library of every
  // Windows since 8.1 and the lookup is needed for every monitor query.
  static GetDpiForMonitorFn fn = [] {
    HMODULE shcore = LoadLibraryExW(L"shcore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!shcore) shcore = LoadLibraryW(L"shcore.dll");
    return shcore ? reinterpret_cast<GetDpiForMonitorFn>(
                        reinterpret_cast<void*>(GetProcAddress(shcore, "GetDpiForMonitor")))
                  : nullptr;
  }();
  return fn;
}

}  // namespace

UINT SystemDpi() {
  HDC screen = GetDC(nullptr);
  if (!screen) return kBaseDpi;
  int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? static_cast<UINT>(dpi) : kBaseDpi;
}

UINT DpiForWindow(HWND hwnd) {
  static const auto fn = User32Function<GetDpiForWindowFn>("GetDpiForWindow");
  if (fn && hwnd) {
    UINT dpi = fn(hwnd);
    if (dpi) return dpi;
  }
  return SystemDpi();
}

UINT DpiForMonitor(HMONITOR monitor) {
  const auto fn = MonitorDpiFunction();
  UINT x = 0, y = 0;
  if (fn && monitor && SUCCEEDED(fn(monitor, 0 /* MDT_EFFECTIVE_DPI */, &x, &y)) && y) return y;
  return SystemDpi();
}

bool MonitorUnderPointer(RECT* monitorRect, UINT* dpi) {
  POINT pt{};
  MONITORINFO mi{};
  mi.cbSize = sizeof mi;
  HMONITOR monitor = GetCursorPos(&pt) ? MonitorFromPoint(pt, MONITOR_DEFAULTTONEAREST) : nullptr;
  if (!monitor || !GetMonitorInfoW(monitor, &mi)) return false;
  *monitorRect = mi.rcMonitor;
  *dpi = DpiForMonitor(monitor);
  return true;
}

int SystemMetricForDpi(int index, UINT dpi) {
  static const auto fn = User32Function<GetSystemMetricsForDpiFn>("GetSystemMetricsForDpi");
  if (fn) return fn(index, dpi);
  const UINT system = SystemDpi();
  return MulDiv(GetSystemMetrics(index), static_cast<int>(dpi), static_cast<int>(system ? system : kBaseDpi));
}

int IconSizeForDpi(int sizeAt96, UINT dpi) { return ScaledToPicture(sizeAt96, PictureScaleFor(dpi)); }

HICON LoadIconForDpi(HINSTANCE module, int id, int sizeAt96, UINT dpi) {
  const int size = IconSizeForDpi(sizeAt96, dpi);
  return static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
}

HCURSOR LoadCursorForDpi(HINSTANCE module, int id, int sizeAt96, UINT dpi) {
  const int size = IconSizeForDpi(sizeAt96, dpi);
  return static_cast<HCURSOR>(LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_CURSOR, size, size, LR_DEFAULTCOLOR));
}

int ProcessDpiAwareness() {
  static const auto context = User32Function<GetThreadDpiAwarenessContextFn>("GetThreadDpiAwarenessContext");
  static const auto awareness =
      User32Function<GetAwarenessFromDpiAwarenessContextFn>("GetAwarenessFromDpiAwarenessContext");
  if (!context || !awareness) return -1;
  return awareness(context());
}

}  // namespace qvn
