#include "device_thread.h"

#include <objbase.h>

#include "device_filter.h"
#include "link_recovery_core.h"
#include "dispatcher.h"
#include "exec_app.h"
#include "exec_util.h"
#include "click_state_machine.h"
#include "qvnlog.h"
#include "settings.h"
#include "settings_watch.h"

QMEThreadDeviceData g_DeviceThreadData{};

namespace {

void CloseAndClear(HANDLE* h) {
  if (*h) CloseHandle(*h);
  *h = nullptr;
}

void CloseRecordHandles(QMEThreadDeviceData* data) {
  CloseAndClear(&data->hThread);
  CloseAndClear(&data->hEventStop);
  CloseAndClear(&data->hEventDeviceChange);
  CloseAndClear(&data->hEventConfigChange);
}

void RouteEvent(const QvnDriverEvent& record) {
  switch (QvnRouteEvent(record)) {
    case QvnEventRoute::Dispatcher:
      ExecuteFunctions(record);
      break;
    case QvnEventRoute::PointerMoved:
      // QMS_EVT_POINTER_MOVED, argument 0; synchronous, so the main thread
      // must keep serving messages while it waits for this thread to end.
      SendMessageW(g_hMainWnd, WM_APP_QUORVANE_FSTM_EVENT, 0, 0);
      break;
    case QvnEventRoute::Dropped:
      break;
  }
}

// The link went down without the main thread asking (a failed wait, a
// device change): presses in flight are forgotten here, and the main
// thread resets the state machine and releases what is held.
void LinkStoppedOnItsOwn() {
  QMEDispatcherReset();
  if (g_hMainWnd) SendMessageW(g_hMainWnd, WM_APP_QUORVANE_LINK_STOPPED, 0, 0);
}

void PumpMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

}  // namespace

bool QMEThreadDeviceStart(QMEThreadDeviceData* data, const wchar_t* deviceName) {
  DebugPrint(qvn::kExecLogTrace, L">>> QMEThreadDeviceStart");
  if (data->hThread) {
    DebugPrint(qvn::kExecLogError, L"QMEThreadDeviceStart NULL != pThreadData->hThread!");
    return false;
  }
  // Handles left by an earlier run whose stop never came are closed, not lost.
  CloseRecordHandles(data);
  *data = QMEThreadDeviceData{};
  if (!deviceName || wcslen(deviceName) >= MAX_PATH) {
    DebugPrint(qvn::kExecLogError, L"QMEThreadDeviceStart device name too long!");
    return false;
  }
  wcscpy(data->deviceName, deviceName);
  data->hEventStop = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  data->hEventConfigChange = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  data->hEventDeviceChange = CreateEventW(nullptr, FALSE, TRUE, nullptr);
  if (!data->hEventStop || !data->hEventConfigChange || !data->hEventDeviceChange) {
    DebugPrint(qvn::kExecLogError, L"QMEThreadDeviceStart CreateEvent failed! %d", GetLastError());
    CloseRecordHandles(data);
    return false;
  }
  data->hThread = CreateThread(nullptr, 0, QmeThreadDeviceRun, data, 0, nullptr);
  if (!data->hThread) {
    DebugPrint(qvn::kExecLogError, L"QMEThreadDeviceStart CreateThread QmeThreadDeviceRun failed! %d", GetLastError());
    CloseRecordHandles(data);
    return false;
  }
  return true;
}

void QMEThreadDeviceRequestExitAndWait(QMEThreadDeviceData* data) {
  DebugPrint(qvn::kExecLogTrace, L">>> QMEThreadDeviceRequestExitAndWait");
  if (data->hEventStop) SetEvent(data->hEventStop);
  if (!data->hThread) {
    DebugPrint(qvn::kExecLogInfo, L"QMEThreadDeviceRequestExitAndWait: hThread not running.");
    return;
  }
  // The device thread may be inside a synchronous send to this thread's
  // windows: keep dispatching until it has ended.
  bool quit = false;
  WPARAM quitCode = 0;
  for (;;) {
    DWORD r = MsgWaitForMultipleObjects(1, &data->hThread, FALSE, INFINITE, QS_ALLINPUT);
    if (r == WAIT_OBJECT_0) break;
    if (r == WAIT_OBJECT_0 + 1) {
      MSG msg;
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
          // Kept for the caller's message loop, which would never see it.
          quit = true;
          quitCode = msg.wParam;
          continue;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
      }
      continue;
    }
    // Waiting again cannot help (a handle that is no longer valid): leave
    // rather than stop serving messages for ever.
    DebugPrint(qvn::kExecLogError, L"QMEThreadDeviceRequestExitAndWait: MsgWaitForMultipleObjects failed! %d", GetLastError());
    break;
  }
  CloseRecordHandles(data);
  if (quit) PostQuitMessage(static_cast<int>(quitCode));
}

void QMEThreadDeviceSignalConfigChange(QMEThreadDeviceData* data) {
  if (data->hEventConfigChange) SetEvent(data->hEventConfigChange);
}

void QMEThreadDeviceSignalDeviceChange(QMEThreadDeviceData* data) {
  if (data->hEventDeviceChange) SetEvent(data->hEventDeviceChange);
}

void QMEThreadDeviceSignalRestart(QMEThreadDeviceData* data) {
  if (!data->hEventDeviceChange) return;
  InterlockedExchange(&data->restartRequested, 1);
  SetEvent(data->hEventDeviceChange);
}

namespace {

// The running thread's hold on the driver: open, reopen after a loss, and
// the retry timer of the link recovery.
class LinkState {
 public:
  LinkState(const wchar_t* deviceName, HANDLE ioEvent) : name_(deviceName), ioEvent_(ioEvent) {}

  QMEDeviceFilter filter;
  bool open = false;
  bool firstWait = true;

  // Opens the driver and sends the configuration; the first wait starts on
  // the next pass. An absent device is logged once per absence.
  bool TryOpen() {
    if (!filter.Create(name_)) {
      if (!absentLogged_)
        DebugPrint(qvn::kExecLogInfo, L"QmeThreadDeviceRun DeviceFilterControl.Create failed. No device present.");
      absentLogged_ = true;
      return false;
    }
    absentLogged_ = false;
    open = true;
    recovery_.Opened();
    filter.IoctlLoadConfig();
    firstWait = true;
    SetEvent(ioEvent_);
    return true;
  }
  // Opens now; when that fails and `retry`, tries again after the
  // recovery's delays.
  void Reopen(bool retry) {
    retryDue_ = 0;
    if (TryOpen() || !retry) return;
    Schedule(recovery_.OpenFailed());
  }
  // The wait or its result failed: the driver is closed, what the link
  // held is let go, and it is opened again after the recovery's delay.
  void Lost() {
    Close();
    Schedule(recovery_.Lost());
  }
  void Close() {
    filter.Close();
    if (open) LinkStoppedOnItsOwn();
    open = false;
  }
  void EventReceived() { recovery_.EventReceived(); }
  // A device arrived or the machine resumed: a new round of attempts.
  void Renew() { recovery_.Renew(); }

  // Milliseconds the thread may wait before the next reopen is due.
  DWORD WaitMs() const {
    if (retryDue_ == 0) return INFINITE;
    ULONGLONG now = GetTickCount64();
    return retryDue_ > now ? static_cast<DWORD>(retryDue_ - now) : 0;
  }
  // The wait timed out: a reopen is due.
  void RetryDue() {
    retryDue_ = 0;
    if (open) return;
    DebugPrint(qvn::kExecLogInfo, L"QmeThreadDeviceRun reopening the driver (attempt %d)", recovery_.OpenFailures() + 1);
    Reopen(true);
  }

 private:
  void Schedule(uint32_t delayMs) {
    if (delayMs == qvn::kLinkRetryNever) {
      retryDue_ = 0;
      DebugPrint(qvn::kExecLogInfo, L"QmeThreadDeviceRun link lost, waiting for the mouse to return");
      return;
    }
    DebugPrint(qvn::kExecLogInfo, L"QmeThreadDeviceRun link lost, reopening the driver in %u ms", delayMs);
    retryDue_ = GetTickCount64() + delayMs;
    if (retryDue_ == 0) retryDue_ = 1;
  }

  const wchar_t* name_;
  HANDLE ioEvent_;
  qvn::LinkRecovery recovery_;
  ULONGLONG retryDue_ = 0;  // 0: no reopen scheduled
  bool absentLogged_ = false;
};

}  // namespace

DWORD WINAPI QmeThreadDeviceRun(LPVOID threadData) {
  auto* data = static_cast<QMEThreadDeviceData*>(threadData);
  DebugPrint(qvn::kExecLogTrace, L">>> QmeThreadDeviceRun");
  DebugPrint(qvn::kExecLogButtonEvent, L">>> QmeThreadDeviceRun %s", data->deviceName);
  HRESULT com = CoInitialize(nullptr);
  // A press waits for this thread alone: it runs above the programs the
  // user works with, as input software does, never at a real-time level.
  if (!SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_ABOVE_NORMAL))
    DebugPrint(qvn::kExecLogError, L"QmeThreadDeviceRun SetThreadPriority failed! %d", GetLastError());

  HANDLE ioEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  LinkState link(data->deviceName, ioEvent);
  QMEDeviceFilter& filter = link.filter;
  bool firstPass = true;
  OVERLAPPED overlapped{};
  uint8_t waitInput[2] = {0, 0};
  QvnDriverEvent record{};

  bool stopRequested = false;
  QMEDispatcherReset();

  // Changes to the settings by any program: the dispatcher keeps what it
  // learnt between presses only while this watch is armed.
  qvn::SettingsWatch settingsWatch;
  qvn::DispatcherMemoryTrust(settingsWatch.Arm());

  if (!ioEvent || !settingsWatch.Event()) {
    DebugPrint(qvn::kExecLogError, L"QmeThreadDeviceRun CreateEvent failed! %d", GetLastError());
  } else {
    // The lowest signalled index wins: a settings change is taken before a
    // pending driver event, so the press that follows a change sees it.
    enum { kStop, kSettings, kIo, kConfig, kDevice, kHandles };
    const HANDLE handles[kHandles] = {data->hEventStop, settingsWatch.Event(), ioEvent, data->hEventConfigChange,
                                      data->hEventDeviceChange};
    bool run = true;
    while (run) {
      DWORD r = MsgWaitForMultipleObjects(kHandles, handles, FALSE, link.WaitMs(), QS_ALLINPUT);
      switch (r) {
        case WAIT_OBJECT_0 + kStop:
          DebugPrint(qvn::kExecLogInfo, L"Link Thread, user request stop!");
          stopRequested = true;
          run = false;
          break;

        case WAIT_OBJECT_0 + kSettings:
          // Armed again before acting, so a change made meanwhile signals anew.
          DebugPrint(qvn::kExecLogInfo, L"Link Thread, settings changed in the registry");
          qvn::DispatcherMemoryTrust(settingsWatch.Arm());
          qvn::DispatcherMemoryForget();
          break;

        case WAIT_OBJECT_0 + kIo:
          ResetEvent(ioEvent);
          if (!link.open) break;
          if (!link.firstWait) {
            if (!filter.GetOverlappedResult(&overlapped)) {
              DebugPrint(qvn::kExecLogError, L"QmeThreadDeviceRun GetOverlappedResult failed! %d", GetLastError());
              link.Lost();
              break;
            }
            link.EventReceived();
            DebugPrint(qvn::kExecLogButtonEvent, L"Event from driver. EventType:%d btnId:%d", record.EventType, record.ButtonId);
            RouteEvent(record);
          }
          link.firstWait = false;
          overlapped = OVERLAPPED{};
          overlapped.hEvent = ioEvent;
          if (!filter.IoctlEventWait(&overlapped, waitInput, &record)) {
            DebugPrint(qvn::kExecLogError, L"QmeThreadDeviceRun IoctlEventWait failed! %d", GetLastError());
            link.Lost();
          }
          break;

        case WAIT_OBJECT_0 + kConfig:
          DebugPrint(qvn::kExecLogInfo, L"wait for ConfigChange");
          if (!settingsWatch.Armed()) qvn::DispatcherMemoryTrust(settingsWatch.Arm());
          qvn::DispatcherMemoryForget();
          QMEFstmParametersInitialize();
          QMESettingsLoadFromRegistry();
          if (link.open) filter.IoctlLoadConfig();
          break;

        case WAIT_OBJECT_0 + kDevice: {
          const bool restart = InterlockedExchange(&data->restartRequested, 0) != 0;
          if (restart) {
            DebugPrint(qvn::kExecLogInfo, L"QmeThreadDeviceRun restarting the link");
            link.Close();
          } else if (link.open) {
            DebugPrint(qvn::kExecLogInfo, L"QmeThreadDeviceRun device change, the driver stays open");
            break;
          }
          link.Renew();
          // At the thread's start an absent mouse is simply absent; after
          // an arrival or a resume it may need a moment to appear.
          link.Reopen(!firstPass);
          firstPass = false;
          break;
        }

        case WAIT_OBJECT_0 + kHandles:
          DebugPrint(qvn::kExecLogInfo, L"MsgWaitForMultipleObjects message received");
          PumpMessages();
          break;

        case WAIT_TIMEOUT:
          link.RetryDue();
          break;

        default:
          DebugPrint(qvn::kExecLogError, L"QmeThreadDeviceRun WaitForMultipleObjects failed! %d", GetLastError());
          run = false;
          break;
      }
    }
  }

  // The wait must be cancelled while the record it writes to still exists.
  filter.Close();
  // Nothing kept survives the thread: its watch ends with it.
  qvn::DispatcherMemoryTrust(false);
  if (stopRequested) QMEDispatcherReset();  // the main thread does the rest after its wait
  else LinkStoppedOnItsOwn();
  if (ioEvent) CloseHandle(ioEvent);
  if (SUCCEEDED(com)) CoUninitialize();
  DebugPrint(qvn::kExecLogInfo, L"Link Thread, end");
  return 0;
}
