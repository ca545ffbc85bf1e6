// The notification-area icon: identifier 108, the product tip, and the
// image of the current pointer-speed preset.
#include "tray.h"

#include <windows.h>
#include <shellapi.h>

#include "exec_app.h"
#include "pointer_speed_core.h"
#include "qvnlog.h"
#include "settings.h"
#include "window_dpi.h"

namespace {
constexpr UINT kTrayIconId = 108;
}

bool QMETrayIcon(bool show, bool modify) {
  DebugPrint(qvn::kExecLogTrace, L">>> QMETrayIcon %d %d", show ? 1 : 0, modify ? 1 : 0);
  NOTIFYICONDATAW nid{};
  nid.cbSize = sizeof(nid);
  nid.hWnd = g_hMainWnd;
  nid.uID = kTrayIconId;
  nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  nid.uCallbackMessage = WM_APP_QUORVANE_TRAY_NOTIFY;
  lstrcpynW(nid.szTip, QVN_PRODUCT_TITLE, ARRAYSIZE(nid.szTip));

  int32_t current = 0;
  QMESettingGet(L"CurrentSpeedSelected", nullptr, &current);
  // The notification area shows small icons at the DPI of the taskbar's
  // monitor: the generated image of that size.
  HWND taskbar = FindWindowW(L"Shell_TrayWnd", nullptr);
  const UINT dpi = qvn::DpiForMonitor(MonitorFromWindow(taskbar, MONITOR_DEFAULTTOPRIMARY));
  const int size = qvn::SystemMetricForDpi(SM_CXSMICON, dpi);
  nid.hIcon = static_cast<HICON>(LoadImageW(g_hInstance, MAKEINTRESOURCEW(QMEPointerSpeedIconId(current)),
                                            IMAGE_ICON, size, size, LR_DEFAULTCOLOR));

  DWORD op = NIM_DELETE;
  if (show) {
    int32_t hide = 0;
    QMESettingGet(L"CheckHideIcon", nullptr, &hide);
    if (!hide) op = modify ? NIM_MODIFY : NIM_ADD;
  }
  BOOL ok = Shell_NotifyIconW(op, &nid);
  if (!ok) DebugPrint(qvn::kExecLogError, L"QMETrayIcon Shell_NotifyIcon %d failed! %d", op, GetLastError());
  // Only the main thread adds or removes the icon, so the timer is its own.
  if (op == NIM_ADD && !ok) {
    if (g_hMainWnd) SetTimer(g_hMainWnd, kQmeTrayRetryTimer, kQmeTrayRetryMs, nullptr);
    DebugPrint(qvn::kExecLogInfo, L"QMETrayIcon the icon is added again in %u ms", kQmeTrayRetryMs);
  } else if (op != NIM_MODIFY && g_hMainWnd) {
    KillTimer(g_hMainWnd, kQmeTrayRetryTimer);
  }
  if (nid.hIcon) DestroyIcon(nid.hIcon);
  return ok != FALSE;
}
