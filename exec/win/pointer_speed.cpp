// Pointer-speed toggle, its flash window and the keyboard shortcut. The
// decisions live in pointer_speed_core; this file reads and writes the
// settings and talks to the system.
#include "pointer_speed.h"

#include "exec_app.h"
#include "tray.h"
#include "pointer_speed_core.h"
#include "qvnlog.h"
#include "picture_scale_core.h"
#include "screen_placement_core.h"
#include "settings.h"
#include "window_dpi.h"

namespace {

const wchar_t kFlashClass[] = L"POINTERSPEEDFLASHWINDOW";
// The flash at 100 %: a 32-pixel icon with a 1-pixel white border.
constexpr int kFlashSize = 36;
constexpr int kFlashIconSize = 32;
constexpr DWORD kFlashMs = 1000;
// Posted to the flash window from any thread: show preset wParam.
constexpr UINT kFlashShow = WM_APP + 1;
constexpr UINT_PTR kFlashHideTimer = 1;

HWND g_hFlashWnd = nullptr;
HICON g_flashIcon = nullptr;  // flash window's thread only
int g_flashPreset = 0;        // flash window's thread only
int g_flashScale = 100;       // flash window's thread only: picture scale of its monitor

// The icon of the preset for a monitor's DPI, kept for painting.
void FlashIconFor(int preset, UINT dpi) {
  g_flashPreset = preset;
  g_flashScale = qvn::PictureScaleFor(dpi);
  HICON icon = qvn::LoadIconForDpi(g_hInstance, QMEPointerSpeedIconId(preset), kFlashIconSize, dpi);
  if (!icon) DebugPrint(qvn::kExecLogError, L"PointerSpeedFlash LoadImage failed! %d", GetLastError());
  if (g_flashIcon) DestroyIcon(g_flashIcon);
  g_flashIcon = icon;
}

// Main thread only: the shortcut.
uint32_t g_shortcut = 0;

int32_t ReadInt(const wchar_t* name, int32_t fallback) {
  int32_t v = fallback;
  if (!QMESettingGet(name, nullptr, &v)) return fallback;
  return v;
}

QMEPointerSpeedPresets ReadPresets() {
  static const wchar_t* const kEnabled[3] = {L"CheckSpeed1", L"CheckSpeed2", L"CheckSpeed3"};
  static const wchar_t* const kSpeed[3] = {L"PointerSpeed1", L"PointerSpeed2", L"PointerSpeed3"};
  static const wchar_t* const kEnhance[3] = {L"CheckEnhancePointer1", L"CheckEnhancePointer2",
                                             L"CheckEnhancePointer3"};
  QMEPointerSpeedPresets p{};
  for (int i = 0; i < 3; ++i) {
    p.enabled[i] = ReadInt(kEnabled[i], 0);
    p.speed[i] = ReadInt(kSpeed[i], 10);
    p.enhance[i] = ReadInt(kEnhance[i], 1);
  }
  return p;
}

// Shows the preset's icon in the middle of the monitor under the pointer
// for a second. Runs on the flash window's own thread, timed by a window
// timer: no thread waits for the flash to end.
void FlashShow(HWND wnd, int preset) {
  qvn::ScreenRect screen{};
  RECT desk{};
  GetWindowRect(GetDesktopWindow(), &desk);
  screen = {desk.left, desk.top, desk.right, desk.bottom};
  UINT dpi = qvn::SystemDpi();
  RECT monitor;
  if (qvn::MonitorUnderPointer(&monitor, &dpi)) screen = {monitor.left, monitor.top, monitor.right, monitor.bottom};
  FlashIconFor(preset, dpi);
  const int size = qvn::ScaledToPicture(kFlashSize, g_flashScale);
  const qvn::ScreenPoint at = qvn::CentredOnMonitor(screen, size / 2, size / 2);
  // Shown without activation: keys typed during the flash stay with the
  // user's window. Placed and sized for the monitor it goes to (a move to
  // another monitor's DPI also brings WM_DPICHANGED, answered alike).
  SetWindowPos(wnd, HWND_TOPMOST, at.x, at.y, size, size, SWP_NOACTIVATE);
  ShowWindow(wnd, SW_SHOWNOACTIVATE);
  InvalidateRect(wnd, nullptr, TRUE);
  UpdateWindow(wnd);
  // A second toggle within the second starts the second afresh.
  SetTimer(wnd, kFlashHideTimer, kFlashMs, nullptr);
}

LRESULT CALLBACK FlashWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case kFlashShow:
      FlashShow(hwnd, static_cast<int>(wParam));
      return 0;
    case WM_TIMER:
      if (wParam != kFlashHideTimer) break;
      KillTimer(hwnd, kFlashHideTimer);
      ShowWindow(hwnd, SW_HIDE);
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      if (dc && g_flashIcon) {
        const int margin = qvn::ScaledToPicture((kFlashSize - kFlashIconSize) / 4, g_flashScale);
        const int side = qvn::ScaledToPicture(kFlashIconSize, g_flashScale);
        DrawIconEx(dc, margin, margin, g_flashIcon, side, side, 0, nullptr, DI_NORMAL);
      }
      EndPaint(hwnd, &ps);
      return 0;
    }
    case qvn::kWmDpiChanged: {
      // Moved onto a monitor of another scale: its picture and the size
      // Windows suggests for it.
      FlashIconFor(g_flashPreset, HIWORD(wParam));
      const RECT* r = reinterpret_cast<const RECT*>(lParam);
      if (r) SetWindowPos(hwnd, nullptr, r->left, r->top, r->right - r->left, r->bottom - r->top,
                          SWP_NOZORDER | SWP_NOACTIVATE);
      InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    }
    case WM_CLOSE:
      DestroyWindow(hwnd);
      return 0;
    case WM_DESTROY:
      if (hwnd == g_hFlashWnd) g_hFlashWnd = nullptr;
      break;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

void Flash(int preset) {
  if (g_hFlashWnd && !PostMessageW(g_hFlashWnd, kFlashShow, static_cast<WPARAM>(preset), 0))
    DebugPrint(qvn::kExecLogError, L"PointerSpeedFlash PostMessage failed! %d", GetLastError());
}

// The toggle worker: steps asked for and not yet taken, and whether it runs.
volatile LONG g_togglesPending = 0;
volatile LONG g_toggleWorkerRunning = 0;
HANDLE g_toggleWorker = nullptr;  // main thread only

DWORD WINAPI PointerSpeedToggleWorker(void*) {
  for (;;) {
    if (InterlockedExchangeAdd(&g_togglesPending, 0) <= 0) {
      InterlockedExchange(&g_toggleWorkerRunning, 0);
      // A request that came after the check found the worker still running.
      if (g_togglesPending <= 0 || InterlockedCompareExchange(&g_toggleWorkerRunning, 1, 0) != 0) break;
      continue;
    }
    InterlockedDecrement(&g_togglesPending);
    if (QMEFuncPointerSpeedToggle() && g_hMainWnd)
      PostMessageW(g_hMainWnd, WM_APP_QUORVANE_SPEED_TOGGLED, 0, 0);
  }
  return 0;
}

}  // namespace

void QMEPointerSpeedToggleRequest() {
  InterlockedIncrement(&g_togglesPending);
  if (InterlockedCompareExchange(&g_toggleWorkerRunning, 1, 0) != 0) return;  // the running worker takes it
  // Only one thread starts the worker at a time (the exchange above).
  HANDLE previous = g_toggleWorker;
  g_toggleWorker = CreateThread(nullptr, 0, PointerSpeedToggleWorker, nullptr, 0, nullptr);
  if (previous) CloseHandle(previous);
  if (!g_toggleWorker) {
    DebugPrint(qvn::kExecLogError, L"QMEPointerSpeedToggleRequest CreateThread failed! %d", GetLastError());
    InterlockedExchange(&g_togglesPending, 0);
    InterlockedExchange(&g_toggleWorkerRunning, 0);
  }
}

void QMEPointerSpeedToggleStop() {
  InterlockedExchange(&g_togglesPending, 0);
  HANDLE worker = g_toggleWorker;
  if (!worker) return;
  // Its settings broadcast may be waiting for this thread's windows.
  while (MsgWaitForMultipleObjects(1, &worker, FALSE, INFINITE, QS_ALLINPUT) == WAIT_OBJECT_0 + 1) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  }
}

bool QMEFuncPointerSpeedToggle() {
  DebugPrint(qvn::kExecLogTrace, L">>> QMEFuncPointerSpeedToggle");
  int32_t current = ReadInt(L"CurrentSpeedSelected", 0);
  QMEPointerSpeedPresets presets = ReadPresets();
  QMEToggleStep step = QMEPointerSpeedChooseNext(current, presets);
  if (step.choice == QMEToggleChoice::Off) {
    DebugPrint(qvn::kExecLogInfo, L"QMEFuncPointerSpeedToggle toggling is off");
    return false;
  }
  if (step.choice == QMEToggleChoice::NoPreset) {
    DebugPrint(qvn::kExecLogInfo, L"QMEFuncPointerSpeedToggle no preset enabled");
    return true;
  }
  int n = step.preset;
  Flash(n);

  qvn::MouseAccel accel = QMEPointerSpeedAccelFor(n, presets);
  int mouse[3] = {accel.threshold1, accel.threshold2, accel.acceleration};
  if (!SystemParametersInfoW(SPI_SETMOUSE, 0, mouse, SPIF_UPDATEINIFILE | SPIF_SENDCHANGE))
    DebugPrint(qvn::kExecLogError, L"QMEFuncPointerSpeedToggle SPI_SETMOUSE failed! %d", GetLastError());

  int32_t speed = QMEPointerSpeedFor(n, presets);
  HRESULT hr = QMESettingSet(L"MouseSensitivity", speed);
  if (hr != 1) {
    DebugPrint(qvn::kExecLogError, L"QMEFuncPointerSpeedToggle MouseSensitivity %d failed! 0x%x", speed, hr);
    return false;
  }
  hr = QMESettingSet(L"CurrentSpeedSelected", static_cast<int32_t>(n));
  if (hr != 1) {
    DebugPrint(qvn::kExecLogError, L"QMEFuncPointerSpeedToggle CurrentSpeedSelected failed! 0x%x", hr);
    return false;
  }
  DebugPrint(qvn::kExecLogInfo, L"QMEFuncPointerSpeedToggle preset %d speed %d", n, speed);
  return true;
}

bool CreatePointerSpeedFlashWindow() {
  DebugPrint(qvn::kExecLogTrace, L">>> CreatePointerSpeedFlashWindow");
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = FlashWindowProc;
  wc.hInstance = g_hInstance;
  wc.hbrBackground = CreateSolidBrush(RGB(255, 255, 255));
  wc.lpszClassName = kFlashClass;
  if (!RegisterClassExW(&wc)) {
    DebugPrint(qvn::kExecLogError, L"REGISTER POINTERSPEEDFLASHWINDOW FAILED");
    if (wc.hbrBackground) DeleteObject(wc.hbrBackground);
  }
  RECT desk{};
  GetWindowRect(GetDesktopWindow(), &desk);
  // Placed again on the monitor under the pointer at every flash.
  int x = (desk.right - desk.left) / 2 - kFlashSize / 2;
  int y = (desk.bottom - desk.top) / 2 - kFlashSize / 2;
  HWND wnd = CreateWindowExW(WS_EX_TOOLWINDOW, kFlashClass, L"", WS_POPUP, x, y, kFlashSize, kFlashSize, nullptr,
                             nullptr, g_hInstance, nullptr);
  if (!wnd) {
    DebugPrint(qvn::kExecLogError, L"Unable to create MainWindow");
    return false;
  }
  g_hFlashWnd = wnd;
  SetWindowPos(wnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_SHOWWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  ShowWindow(wnd, SW_HIDE);
  return true;
}

void QMEPointerSpeedShortcutRead() {
  int32_t v = 0;
  if (QMESettingGet(L"PointerSpeedToggleShortCut", nullptr, &v)) {
    g_shortcut = qvn::ShortcutNormalize(static_cast<uint32_t>(v));
    DebugPrint(qvn::kExecLogInfo, L"PointerSpeedToggleShortCut 0x%x", g_shortcut);
  }
}

void ProcessKeyboardKey(WPARAM wParam, LPARAM lParam) {
  DebugPrint(qvn::kExecLogTrace, L">>> ProcessKeyboardKey");
  // Ctrl and Shift as the keyboard holds them now, not as earlier messages
  // said: a key-up the hook library never saw must not leave them down.
  // Asked only when the shortcut's key goes down.
  const uint32_t flags = static_cast<uint32_t>(static_cast<ULONG_PTR>(lParam));
  QMEShortcutModifiers held;
  if (QMEShortcutKeyEvent(g_shortcut, static_cast<uint64_t>(wParam), flags, QMEShortcutModifiers{true, true})) {
    held.ctrl = GetAsyncKeyState(VK_CONTROL) < 0;
    held.shift = GetAsyncKeyState(VK_SHIFT) < 0;
    DebugPrint(qvn::kExecLogInfo, L"ProcessKeyboardKey shortcut key, Ctrl %d Shift %d held", held.ctrl ? 1 : 0,
               held.shift ? 1 : 0);
  }
  if (!QMEShortcutKeyEvent(g_shortcut, static_cast<uint64_t>(wParam), flags, held)) return;
  QMEPointerSpeedToggleRequest();
}
