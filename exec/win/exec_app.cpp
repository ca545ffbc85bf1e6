#include "exec_app.h"

#include <objbase.h>
#include <dbt.h>
#include <shellapi.h>
#include <wtsapi32.h>

#include <cstddef>
#include <cwchar>
#include <string>

#include "break_reminder.h"
#include "click_state_machine.h"
#include "device_thread.h"
#include "driver_update_request.h"
#include "exec_util.h"
#include "hook_loader.h"
#include "pointer_speed.h"
#include "window_dpi.h"
#include "inject.h"
#include "qvnlog.h"
#include "resource.h"
#include "session_core.h"
#include "settings.h"
#include "tray.h"

HINSTANCE g_hInstance = nullptr;
HWND g_hMainWnd = nullptr;

namespace {

// Registered once when the program loads, before start-up proper.
const UINT g_msgTaskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");

const wchar_t kFilterDeviceName[] = L"\\\\.\\QvnmouseFilter";

const GUID kGuidDevInterfaceMouse = {0x378de44c, 0x56ef, 0x11d1, {0xbc, 0x8c, 0x00, 0xa0, 0xc9, 0x14, 0x05, 0xdd}};
const GUID kGuidDevInterfaceKeyboard = {0x884b96c3, 0x56ef, 0x11d1, {0xbc, 0x8c, 0x00, 0xa0, 0xc9, 0x14, 0x05, 0xdd}};

qvn::SessionFlags g_session;
qvn::LinkLifecycle g_link;
bool g_breakPaused = false;
bool g_startUpdateRequested = false;
HDEVNOTIFY g_notifyMouse = nullptr;
HDEVNOTIFY g_notifyKeyboard = nullptr;
BOOL g_clickLockWasOn = FALSE;

HDEVNOTIFY RegisterInterfaceNotification(HWND hwnd, const GUID& guid) {
  DEV_BROADCAST_DEVICEINTERFACE_W filter{};
  filter.dbcc_size = sizeof(filter);
  filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
  filter.dbcc_classguid = guid;
  return RegisterDeviceNotificationW(hwnd, &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
}

void QvnNotificationDeviceRegister(HWND hwnd) {
  DebugPrint(qvn::kExecLogTrace, L">>> QvnNotificationDeviceRegister");
  if (!g_notifyMouse) {
    g_notifyMouse = RegisterInterfaceNotification(hwnd, kGuidDevInterfaceMouse);
    if (!g_notifyMouse)
      DebugPrint(qvn::kExecLogError, L"QvnNotificationDeviceRegister RegisterDeviceNotification mouse failed! %d", GetLastError());
  }
  if (!g_notifyKeyboard) {
    g_notifyKeyboard = RegisterInterfaceNotification(hwnd, kGuidDevInterfaceKeyboard);
    if (!g_notifyKeyboard)
      DebugPrint(qvn::kExecLogError, L"QvnNotificationDeviceRegister RegisterDeviceNotification keyboard failed! %d", GetLastError());
  }
}

void QvnNotificationDeviceUnregister() {
  if (g_notifyMouse) { UnregisterDeviceNotification(g_notifyMouse); g_notifyMouse = nullptr; }
  if (g_notifyKeyboard) { UnregisterDeviceNotification(g_notifyKeyboard); g_notifyKeyboard = nullptr; }
}

// The hardware identifiers of the mouse named by an arrived device
// interface (none for a keyboard, a headset or another mouse).
qvn::HardwareIdMask ArrivedMouseIds(WPARAM event, LPARAM lParam) {
  if (event != DBT_DEVICEARRIVAL || !lParam) return 0;
  const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(lParam);
  if (header->dbch_devicetype != DBT_DEVTYP_DEVICEINTERFACE ||
      header->dbch_size <= offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name))
    return 0;
  const auto* iface = reinterpret_cast<const DEV_BROADCAST_DEVICEINTERFACE_W*>(lParam);
  // The name fills the rest of the record; it is not trusted to be terminated.
  const size_t chars = (header->dbch_size - offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name)) / sizeof(wchar_t);
  std::wstring name(iface->dbcc_name, wcsnlen(iface->dbcc_name, chars));
  DebugPrint(qvn::kExecLogDeviceChange, L"QvnNotificationDeviceChange arrived %s", name.c_str());
  return qvn::HardwareIdsInDevicePath(name.c_str());
}

void QvnNotificationDeviceChange(WPARAM event, LPARAM lParam) {
  DebugPrint(qvn::kExecLogTrace, L">>> QvnNotificationDeviceChange");
  DebugPrint(qvn::kExecLogDeviceChange, L"%s", qvn::DeviceChangeEventName(static_cast<unsigned>(event)));
  if (qvn::DeviceChangeNeedsRecheck(static_cast<unsigned>(event))) {
    DebugPrint(qvn::kExecLogDeviceChange, L"DBT_DEVICEARRIVAL or DBT_DEVICEREMOVECOMPLETE");
    // Only the mouse that arrived gets a driver update, off the device thread.
    QMEDriverUpdateRequest(ArrivedMouseIds(event, lParam));
    QMEThreadDeviceSignalDeviceChange(&g_DeviceThreadData);
  }
}

// The link has stopped (or its thread reported that it ended): the state
// machine goes back to idle and every key and button we injected down gets
// its up, so nothing stays held for the user or for the next press.
void LinkStoppedReset() {
  QMEFstmReset();
  qvn::ReleaseHeldInput();
}

void DeviceStart(HWND hwnd) {
  if (!g_link.StartRequested()) {
    DebugPrint(qvn::kExecLogInfo, L"DeviceStart: a stop is still waiting, the link starts when it ends");
    return;
  }
  QvnNotificationDeviceRegister(hwnd);
  QMEThreadDeviceStart(&g_DeviceThreadData, kFilterDeviceName);
  // A mouse plugged in while the executive did not run: both identifiers
  // once per run; later only the ones that arrive.
  if (!g_startUpdateRequested) {
    g_startUpdateRequested = true;
    QMEDriverUpdateRequest(qvn::kAllMouseHardwareIds);
  }
}

// Stops the link and waits for its thread. Messages are served during the
// wait; a stop or start they ask for is folded into this one.
void DeviceStop() {
  if (!g_link.StopRequested()) {
    DebugPrint(qvn::kExecLogInfo, L"DeviceStop: a stop is already waiting");
    return;
  }
  QvnNotificationDeviceUnregister();
  QMEThreadDeviceRequestExitAndWait(&g_DeviceThreadData);
  LinkStoppedReset();
  if (g_link.StopEnded() && g_hMainWnd && IsWindow(g_hMainWnd)) DeviceStart(g_hMainWnd);
}

// Resume: a running link closes and reopens the driver; a stopped one starts.
void DeviceRestart(HWND hwnd) {
  if (g_DeviceThreadData.hThread && !g_link.StopWaiting()) QMEThreadDeviceSignalRestart(&g_DeviceThreadData);
  else DeviceStart(hwnd);
}

void RunLinkAction(HWND hwnd, qvn::DeviceLinkAction action) {
  switch (action) {
    case qvn::DeviceLinkAction::Start: DeviceStart(hwnd); break;
    case qvn::DeviceLinkAction::Stop: DeviceStop(); break;
    case qvn::DeviceLinkAction::Restart: DeviceRestart(hwnd); break;
    case qvn::DeviceLinkAction::None: break;
  }
}

// The break timers stop while the session is locked or the machine sleeps
// and start a fresh period on return.
void BreakPauseFollowSession() {
  const bool paused = !qvn::BreakMayRun(g_session);
  if (paused == g_breakPaused) return;
  g_breakPaused = paused;
  QMEThreadBreakPause(paused);
}

void OnPowerBroadcast(HWND hwnd, WPARAM event) {
  DebugPrint(qvn::kExecLogWindowMessage, L"WM_POWERBROADCAST 0x%x", static_cast<unsigned>(event));
  RunLinkAction(hwnd, qvn::PowerChange(g_session, static_cast<unsigned>(event)));
  BreakPauseFollowSession();
}

void OnSessionChange(HWND hwnd, WPARAM code, LPARAM sessionOfEvent) {
  DebugPrint(qvn::kExecLogWindowMessage, L"WM_WTSSESSION_CHANGE");
  DWORD own = 0;
  if (!ProcessIdToSessionId(GetCurrentProcessId(), &own)) {
    DebugPrint(qvn::kExecLogError, L"ProcessIdToSessionId failed %d", GetLastError());
    return;
  }
  if (static_cast<DWORD>(sessionOfEvent) != own) return;
  switch (code) {
    case qvn::kWtsConsoleConnect:
      DebugPrint(qvn::kExecLogWindowMessage, L"WM_WTSSESSION_CHANGE WTS_CONSOLE_CONNECT session ID %d", own); break;
    case qvn::kWtsConsoleDisconnect:
      DebugPrint(qvn::kExecLogWindowMessage, L"WM_WTSSESSION_CHANGE WTS_CONSOLE_DISCONNECT session ID %d", own); break;
    case qvn::kWtsSessionLock:
      DebugPrint(qvn::kExecLogWindowMessage, L"WM_WTSSESSION_CHANGE WTS_SESSION_LOCK session ID %d", own); break;
    case qvn::kWtsSessionUnlock:
      DebugPrint(qvn::kExecLogWindowMessage, L"WM_WTSSESSION_CHANGE WTS_SESSION_UNLOCK session ID %d", own); break;
    case qvn::kWtsRemoteConnect:
      DebugPrint(qvn::kExecLogWindowMessage, L"WM_WTSSESSION_CHANGE WTS_REMOTE_CONNECT session ID %d", own); break;
    default:
      DebugPrint(qvn::kExecLogWindowMessage, L"WM_WTSSESSION_CHANGE 0x%x", static_cast<unsigned>(code)); break;
  }
  RunLinkAction(hwnd, qvn::SessionChange(g_session, static_cast<unsigned>(code)));
  BreakPauseFollowSession();
}

INT_PTR CALLBACK AboutDialogProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM) {
  switch (msg) {
    case WM_INITDIALOG:
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
        EndDialog(dlg, LOWORD(wParam));
        return TRUE;
      }
      break;
  }
  return FALSE;
}

void ShowTrayMenu(HWND hwnd) {
  POINT pt{};
  GetCursorPos(&pt);
  SetForegroundWindow(hwnd);
  HMENU popup = GetSubMenu(GetMenu(hwnd), 2);
  if (popup) TrackPopupMenu(popup, TPM_CENTERALIGN, pt.x, pt.y, 0, hwnd, nullptr);
  PostMessageW(hwnd, WM_NULL, 0, 0);
}

void OpenMouseSettings() {
  wchar_t system[kQvnPathChars];
  UINT n = GetSystemDirectoryW(system, kQvnPathChars);
  if (n == 0 || n >= kQvnPathChars) return;
  wchar_t file[kQvnPathChars + 16];
  QvnFormatWf(file, kQvnPathChars + 16, L"%s\\control.exe ", system);
  ShellExecuteW(nullptr, nullptr, file, L"mouse", nullptr, SW_SHOWNORMAL);
}

void OnExitCommand(HWND hwnd) {
  // The Windows mouse settings sheet while it shows our pages.
  HWND sheet = FindWindowW(L"#32770", QVN_PRODUCT_TITLE);
  if (sheet) {
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(sheet, WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
  }
  DestroyWindow(hwnd);
  QMESettingRegistryExportToFile(L"QuorvaneMouseSettings.reg");
}

bool InternalMainWindowCreate(HINSTANCE instance, const wchar_t* title) {
  DebugPrint(qvn::kExecLogTrace, L">>> InternalMainWindowCreate");
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = QMEMainWindowProc;
  wc.hInstance = instance;
  wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_QVNMOUSEEXEC));
  wc.hIconSm = qvn::LoadIconForDpi(instance, IDI_SPEED0, 16, qvn::SystemDpi());
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszMenuName = MAKEINTRESOURCEW(IDC_QVNMOUSEEXEC);
  wc.lpszClassName = QVN_MAIN_WINDOW_CLASS;
  RegisterClassExW(&wc);
  HWND hwnd = CreateWindowExW(0, QVN_MAIN_WINDOW_CLASS, title, WS_OVERLAPPEDWINDOW, 100, 100, 100, 100,
                              nullptr, nullptr, instance, nullptr);
  if (!hwnd) {
    DebugPrint(qvn::kExecLogError, L"WinMain CreateWindow failed!");
    return false;
  }
  g_hMainWnd = hwnd;
  SetWindowPos(hwnd, HWND_TOPMOST, 100, 100, 0, 0, SWP_NOSIZE);
  HWND props = FindWindowW(L"#32770", L"Mouse Properties");
  if (props) {
    DebugPrint(qvn::kExecLogInfo, L"Mouse Properties Dialog Found");
    SendMessageTimeoutW(props, WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG, 5000, nullptr);
    DestroyWindow(props);
  }
  UpdateWindow(hwnd);
  return true;
}

}  // namespace

LRESULT CALLBACK QMEMainWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == g_msgTaskbarCreated && g_msgTaskbarCreated != 0) {
    QMETrayIcon(false, false);
    QMETrayIcon(true, false);
    return 0;
  }
  switch (msg) {
    case WM_DESTROY:
      KillTimer(hwnd, kQmeTrayRetryTimer);
      QMETrayIcon(false, false);
      WTSUnRegisterSessionNotification(hwnd);
      PostQuitMessage(0);
      return 0;
    case WM_CLOSE:
      DestroyWindow(hwnd);
      return 0;
    case WM_ENDSESSION:
      DebugPrint(qvn::kExecLogWindowMessage, L"WM_ENDSESSION");
      // A shutdown cancelled by another program (wParam false) leaves the
      // session, and so the link, running.
      if (qvn::EndSession(wParam != FALSE) == qvn::DeviceLinkAction::Stop) DeviceStop();
      else DebugPrint(qvn::kExecLogInfo, L"WM_ENDSESSION the session goes on, the link stays");
      return 0;
    case WM_POWERBROADCAST:
      OnPowerBroadcast(hwnd, wParam);
      return TRUE;
    case WM_TIMER:
      if (wParam == kQmeTrayRetryTimer) {
        QMETrayIcon(true, false);
        return 0;
      }
      break;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDM_ABOUT:
          DialogBoxW(g_hInstance, MAKEINTRESOURCEW(IDD_ABOUTBOX), hwnd, AboutDialogProc);
          return 0;
        case IDM_EXIT:
          OnExitCommand(hwnd);
          return 0;
        case IDM_SEND_IOCTL_WAIT:
          return 0;
      }
      break;
    case WM_DEVICECHANGE:
      DebugPrint(qvn::kExecLogWindowMessage, L"WM_DEVICECHANGE");
      QvnNotificationDeviceChange(wParam, lParam);
      return TRUE;
    case WM_WTSSESSION_CHANGE:
      OnSessionChange(hwnd, wParam, lParam);
      return 0;
    case WM_APP_QUORVANE_SETTINGS_UPDATED:
      DebugPrint(qvn::kExecLogWindowMessage, L"WM_APP_QUORVANE_SETTINGS_UPDATED");
      QMETrayIcon(true, wParam == 2);
      QMEPointerSpeedShortcutRead();
      QMEThreadDeviceSignalConfigChange(&g_DeviceThreadData);
      return 0;
    case WM_APP_QUORVANE_TRAY_NOTIFY:
      if (lParam == WM_RBUTTONUP) ShowTrayMenu(hwnd);
      else if (lParam == WM_LBUTTONDBLCLK) OpenMouseSettings();
      return 0;
    case WM_RESET_BREAKTIMERS:
      DebugPrint(qvn::kExecLogWindowMessage, L"WM_RESET_BREAKTIMERS");
      QMEThreadBreakReset();
      return 0;
    case WM_APP_QUORVANE_HOOK_KEYBOARD:
      ProcessKeyboardKey(wParam, lParam);
      return 0;
    case WM_APP_QUORVANE_HOOK_KEYPRESSED:
      DebugPrint(qvn::kExecLogWindowMessage, L"WM_APP_QUORVANE_HOOK_KEYPRESSED");
      QMEFstmEvent(6, 0);
      return 0;
    case WM_APP_QUORVANE_FSTM_EVENT:
      QMEFstmEvent(static_cast<unsigned>(wParam), lParam);
      return 0;
    case WM_APP_QUORVANE_SPEED_TOGGLED:
      QMETrayIcon(true, true);
      return 0;
    case WM_APP_QUORVANE_DRIVER_UPDATED:
      DebugPrint(qvn::kExecLogWindowMessage, L"WM_APP_QUORVANE_DRIVER_UPDATED %d", static_cast<int>(wParam));
      QMEThreadDeviceSignalDeviceChange(&g_DeviceThreadData);
      return 0;
    case WM_APP_QUORVANE_LINK_STOPPED:
      DebugPrint(qvn::kExecLogWindowMessage, L"WM_APP_QUORVANE_LINK_STOPPED");
      LinkStoppedReset();
      return 0;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

int QMEExecutiveMain(HINSTANCE instance) {
  DebugLevelRead();
  DebugPrint(qvn::kExecLogTrace, L">>> WinMain");
  g_hInstance = instance;
  HRESULT com = CoInitialize(nullptr);

  DWORD session = 0;
  wchar_t title[32];
  if (!ProcessIdToSessionId(GetCurrentProcessId(), &session) || !qvn::MainWindowTitle(session, title, 32)) {
    DebugPrint(qvn::kExecLogError, L"WinMain cannot determine window name. Exiting now...");
    if (SUCCEEDED(com)) CoUninitialize();
    return 1;
  }
  DebugPrint(qvn::kExecLogInfo, L"MainWindow name: %s.", title);

  if (FindWindowW(QVN_MAIN_WINDOW_CLASS, title)) {
    DebugPrint(qvn::kExecLogInfo, L"WinMain Exe is already running. Exiting now...");
    if (SUCCEEDED(com)) CoUninitialize();
    return 1;
  }

  if (!InternalMainWindowCreate(instance, title)) {
    DebugPrint(qvn::kExecLogError, L"InternalMainWindowCreate failed");
    if (SUCCEEDED(com)) CoUninitialize();
    return 1;
  }
  HWND hwnd = g_hMainWnd;
  DebugPrint(qvn::kExecLogInfo, L"WinMain DPI awareness %d, system DPI %u", qvn::ProcessDpiAwareness(),
             qvn::SystemDpi());

  QMETrayIcon(true, false);
  CreatePointerSpeedFlashWindow();
  QMEPointerSpeedShortcutRead();
  QMEHookInstall(hwnd);

  HACCEL accel = LoadAcceleratorsW(instance, MAKEINTRESOURCEW(IDC_QVNMOUSEEXEC));

  QMESettingsLoadFromRegistry();
  QMEFstmInitialize();

  // Windows' own ClickLock stays off while we run; our click lock replaces it.
  g_clickLockWasOn = FALSE;
  SystemParametersInfoW(SPI_GETMOUSECLICKLOCK, 0, &g_clickLockWasOn, 0);
  if (g_clickLockWasOn) {
    SystemParametersInfoW(SPI_SETMOUSECLICKLOCK, 0, reinterpret_cast<PVOID>(FALSE), 0);
    BOOL now = TRUE;
    SystemParametersInfoW(SPI_GETMOUSECLICKLOCK, 0, &now, 0);
    DebugPrint(qvn::kExecLogInfo, L"Windows ClickLock switched off while running (now %d)", now);
  }

  if (!QMEThreadBreakCreate()) {
    DebugPrint(qvn::kExecLogError, L"QMEThreadBreakCreate failed !!!");
    if (g_clickLockWasOn) SystemParametersInfoW(SPI_SETMOUSECLICKLOCK, 0, reinterpret_cast<PVOID>(TRUE), 0);
    DestroyWindow(hwnd);
    if (SUCCEEDED(com)) CoUninitialize();
    return 1;
  }

  uint32_t err = qvn::RegisterSessionNotificationWithRetry(
      [hwnd]() -> uint32_t {
        return WTSRegisterSessionNotification(hwnd, NOTIFY_FOR_ALL_SESSIONS) ? 0u : static_cast<uint32_t>(GetLastError());
      },
      [](uint32_t ms) { Sleep(ms); });
  if (err != 0) {
    DebugPrint(qvn::kExecLogError, L"WTSRegisterSessionNotification failed! %d", err);
    QMEThreadBreakRequestExitAndWait();
    if (g_clickLockWasOn) SystemParametersInfoW(SPI_SETMOUSECLICKLOCK, 0, reinterpret_cast<PVOID>(TRUE), 0);
    DestroyWindow(hwnd);
    if (SUCCEEDED(com)) CoUninitialize();
    return 1;
  }

  // An executive in a session that is not the console's (Remote Desktop)
  // leaves the physical mouse to the console session's executive.
  g_session = qvn::InitialSessionFlags(session, WTSGetActiveConsoleSessionId());
  if (qvn::LinkMayRun(g_session))
    DeviceStart(hwnd);
  else
    DebugPrint(qvn::kExecLogInfo, L"WinMain session %u is not the console session %u: the mouse is left alone", session,
               WTSGetActiveConsoleSessionId());

  MSG msg{};
  int quitCode = 0;
  for (;;) {
    BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) { quitCode = static_cast<int>(msg.wParam); break; }
    if (got == -1) break;
    if (accel && TranslateAcceleratorW(hwnd, accel, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }

  QMEHookRemove();
  QMEPointerSpeedToggleStop();
  QMETrayIcon(false, false);
  QvnNotificationDeviceUnregister();
  if (g_clickLockWasOn) {
    SystemParametersInfoW(SPI_SETMOUSECLICKLOCK, 0, reinterpret_cast<PVOID>(TRUE), 0);
    BOOL now = FALSE;
    SystemParametersInfoW(SPI_GETMOUSECLICKLOCK, 0, &now, 0);
    DebugPrint(qvn::kExecLogInfo, L"Windows ClickLock switched on again (now %d)", now);
  }
  DeviceStop();
  QMEDriverUpdateStop();
  if (!QMEThreadBreakRequestExitAndWait()) DebugPrint(qvn::kExecLogError, L"QMEThreadBreakRequestExitAndWait failed !!!");
  if (SUCCEEDED(com)) CoUninitialize();
  return quitCode;
}
