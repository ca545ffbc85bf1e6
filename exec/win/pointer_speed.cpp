// Pointer-speed toggle, its flash window and the keyboard shortcut. The
// decisions live in pointer_speed_core; this file reads and writes the
// settings and talks to the system.
#include "pointer_speed.h"

#include "exec_app.h"
#include "tray.h"
#include "pointer_speed_core.h"
#include "qvnlog.h"
#include "settings.h"

namespace {

const wchar_t kFlashClass[] = L"POINTERSPEEDFLASHWINDOW";
constexpr int kFlashSize = 36;
constexpr DWORD kFlashMs = 1000;

HWND g_hFlashWnd = nullptr;

// Main thread only: the shortcut and the modifier flags seen so far.
uint32_t g_shortcut = 0;
QMEShortcutModifiers g_modifiers;

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

LRESULT CALLBACK FlashWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_CLOSE) {
    DestroyWindow(hwnd);
    return 0;
  }
  if (msg == WM_DESTROY && hwnd == g_hFlashWnd) g_hFlashWnd = nullptr;
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

// Shows the preset's icon in the middle of the screen for a second.
void Flash(int preset) {
  HWND wnd = g_hFlashWnd;
  if (!wnd) return;
  HICON icon = static_cast<HICON>(LoadImageW(g_hInstance, MAKEINTRESOURCEW(QMEPointerSpeedIconId(preset)),
                                             IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_LOADTRANSPARENT));
  // Shown without activation: keys typed during the flash stay with the
  // user's window.
  ShowWindow(wnd, SW_SHOWNOACTIVATE);
  InvalidateRect(wnd, nullptr, TRUE);
  UpdateWindow(wnd);
  if (icon) {
    HDC dc = GetDC(wnd);
    if (dc) {
      DrawIcon(dc, 1, 1, icon);
      ReleaseDC(wnd, dc);
    }
  } else {
    DebugPrint(qvn::kExecLogError, L"PointerSpeedFlash LoadImage failed! %d", GetLastError());
  }
  Sleep(kFlashMs);
  ShowWindow(wnd, SW_HIDE);
  if (icon) DestroyIcon(icon);
}

}  // namespace

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
  if (!QMEShortcutKeyEvent(g_modifiers, g_shortcut, static_cast<uint64_t>(wParam),
                           static_cast<uint32_t>(static_cast<ULONG_PTR>(lParam))))
    return;
  if (QMEFuncPointerSpeedToggle()) QMETrayIcon(true, true);
}
