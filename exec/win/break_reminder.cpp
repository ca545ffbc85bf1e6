// The break and resume reminder thread: two thread timers, the reminder
// sounds and the two topmost reminder boxes. What comes after each timer
// is decided by break_cycle_core.
#include "break_reminder.h"

#include <windows.h>
#include <mmsystem.h>
#include <objbase.h>

#include <new>

#include "break_cycle_core.h"
#include "exec_app.h"
#include "exec_util.h"
#include "qvnlog.h"
#include "resource.h"
#include "picture_scale_core.h"
#include "screen_placement_core.h"
#include "settings.h"
#include "window_dpi.h"

namespace {

struct QMEBreakThreadData {
  HANDLE restartEvent;  // auto-reset
  HANDLE exitEvent;     // auto-reset
};

HANDLE g_hBreakThread = nullptr;
DWORD g_breakThreadId = 0;
QMEBreakThreadData* g_pBreakThreadData = nullptr;

// Set by the main thread while the session is locked or the machine sleeps.
volatile LONG g_breakPaused = 0;

// Break-thread only.
UINT_PTR g_breakTimer = 0;
UINT_PTR g_resumeTimer = 0;

int32_t ReadInt(const wchar_t* name, int32_t fallback) {
  int32_t v = fallback;
  if (!QMESettingGet(name, nullptr, &v)) return fallback;
  return v;
}

QMEBreakSettings ReadSettings() {
  QMEBreakSettings s{};
  s.checkBreak = ReadInt(L"CheckBreakReminder", 0);
  s.breakMinutes = ReadInt(L"EditBreakTime", 30);
  s.breakVisual = ReadInt(L"RadioBreakVisualAlert", 1);
  s.breakAudio = ReadInt(L"RadioBreakAudioAlert", 0);
  s.checkResume = ReadInt(L"CheckResumeReminder", 0);
  s.resumeMinutes = ReadInt(L"EditResumeTime", 5);
  s.resumeVisual = ReadInt(L"RadioResumeVisualAlert", 1);
  s.resumeAudio = ReadInt(L"RadioResumeAudioAlert", 0);
  return s;
}

void KillTimers() {
  if (g_breakTimer) KillTimer(nullptr, g_breakTimer);
  if (g_resumeTimer) KillTimer(nullptr, g_resumeTimer);
  g_breakTimer = 0;
  g_resumeTimer = 0;
}

void CALLBACK BreakReminder_TimerProc(HWND, UINT, UINT_PTR, DWORD);
void CALLBACK ResumeReminder_TimerProc(HWND, UINT, UINT_PTR, DWORD);

void SetNext(const QMEBreakNext& next, const wchar_t* what) {
  if (next.timer == QMEBreakTimer::Break) {
    g_breakTimer = SetTimer(nullptr, 0, next.intervalMs, BreakReminder_TimerProc);
    DebugPrint(qvn::kExecLogInfo, L"Timer_BreakReminder %d", static_cast<int>(g_breakTimer));
  } else if (next.timer == QMEBreakTimer::Resume) {
    g_resumeTimer = SetTimer(nullptr, 0, next.intervalMs, ResumeReminder_TimerProc);
    DebugPrint(qvn::kExecLogInfo, L"Timer_ResumeReminder %d", static_cast<int>(g_resumeTimer));
  } else {
    DebugPrint(qvn::kExecLogInfo, L"%s no timer", what);
  }
}

// Plays a stored sound; false when the path cannot be formed or the sound
// does not start.
bool PlayReminderSound(const wchar_t* setting, bool logOnlyFile) {
  wchar_t stored[QME_SETTING_TEXT_CHARS] = L"";
  QMESettingGet(setting, nullptr, stored, QME_SETTING_TEXT_CHARS);
  if (logOnlyFile && stored[0] && stored[1] != L':') DebugPrint(qvn::kExecLogInfo, L"Only Flile");
  wchar_t windir[kQvnPathChars] = L"";
  UINT n = GetWindowsDirectoryW(windir, kQvnPathChars);
  if (n == 0 || n >= kQvnPathChars) windir[0] = 0;
  wchar_t path[kQvnPathChars];
  if (!QMEBreakWavePath(stored, windir, path, kQvnPathChars)) {
    DebugPrint(qvn::kExecLogError, L"PlayReminderSound %s: no usable path", setting);
    return false;
  }
  return PlaySoundW(path, nullptr, SND_FILENAME | SND_ASYNC) != FALSE;
}

INT_PTR CALLBACK ReminderDialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_INITDIALOG) {
    // On the monitor the user is looking at: the one under the pointer.
    qvn::ScreenRect screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    UINT dpi = qvn::SystemDpi();
    RECT monitor;
    if (qvn::MonitorUnderPointer(&monitor, &dpi)) screen = {monitor.left, monitor.top, monitor.right, monitor.bottom};
    // The box is laid out in dialog units, so it grows with the monitor's
    // DPI; the offsets from the centre (100 x 50 at 96 DPI) grow with it.
    const qvn::ScreenPoint at = qvn::CentredOnMonitor(screen, qvn::ScaledToDpi(100, dpi), qvn::ScaledToDpi(50, dpi));
    if (lParam == IDD_BREAK_REMINDER) DebugPrint(qvn::kExecLogInfo, L"height %d width %d", at.y, at.x);
    SetWindowPos(hwnd, HWND_TOPMOST, at.x, at.y, 0, 0, SWP_NOSIZE);
    return TRUE;
  }
  if (msg == WM_COMMAND && LOWORD(wParam) == IDOK) {
    DebugPrint(qvn::kExecLogInfo, GetDlgItem(hwnd, IDC_BREAK_TEXT) ? L"Destroy Break" : L"Destroy Resume ");
    EndDialog(hwnd, IDOK);
    return TRUE;
  }
  return FALSE;
}

void CALLBACK BreakReminder_TimerProc(HWND, UINT, UINT_PTR, DWORD) {
  DebugPrint(qvn::kExecLogTrace, L">>> BreakReminder_TimerProc");
  if (g_breakTimer) KillTimer(nullptr, g_breakTimer);
  g_breakTimer = 0;
  if (g_breakPaused) return;  // fired just before the pause reached this thread
  QMEBreakSettings s = ReadSettings();
  QMEBreakReminder r = QMEBreakOnBreakTimer(s);
  DebugPrint(qvn::kExecLogInfo, L"BreakAudio %d", s.breakAudio);
  if (r.playSound) DebugPrint(qvn::kExecLogInfo, L"PlaySound Break %d", PlayReminderSound(L"BreakAudioWaveFile", false) ? 1 : 0);
  if (r.showBox) {
    INT_PTR res = DialogBoxParamW(g_hInstance, MAKEINTRESOURCEW(IDD_BREAK_REMINDER), nullptr, ReminderDialogProc,
                                  IDD_BREAK_REMINDER);
    if (res == -1) DebugPrint(qvn::kExecLogError, L"BreakReminder_TimerProc DialogBox failed! %d", GetLastError());
  }
  // Read again: the settings may have changed while the box was open.
  s = ReadSettings();
  DebugPrint(qvn::kExecLogInfo, L"ResumeReminder %d", s.checkResume);
  if (s.checkResume) {
    SetNext(QMEBreakOnBreakTimer(s).next, L"ResumeReminder");
  } else {
    DebugPrint(qvn::kExecLogTrace, L">>> StartTimerForBreak");
    KillTimers();
    SetNext(QMEBreakOnRestart(s, g_breakPaused != 0), L"StartTimerForBreak");
  }
}

void CALLBACK ResumeReminder_TimerProc(HWND, UINT, UINT_PTR, DWORD) {
  DebugPrint(qvn::kExecLogTrace, L">>> ResumeReminder_TimerProc");
  if (g_resumeTimer) KillTimer(nullptr, g_resumeTimer);
  g_resumeTimer = 0;
  if (g_breakPaused) return;
  QMEBreakSettings s = ReadSettings();
  QMEBreakReminder r = QMEBreakOnResumeTimer(s);
  if (r.playSound) DebugPrint(qvn::kExecLogInfo, L"PlaySound Resume %d", PlayReminderSound(L"BreakResumeWaveFile", true) ? 1 : 0);
  if (r.showBox) {
    INT_PTR res = DialogBoxParamW(g_hInstance, MAKEINTRESOURCEW(IDD_RESUME_REMINDER), nullptr, ReminderDialogProc,
                                  IDD_RESUME_REMINDER);
    DebugPrint(qvn::kExecLogInfo, L"show Resume window ResumeMsg %d", static_cast<int>(res));
  }
  s = ReadSettings();
  SetNext(QMEBreakOnResumeTimer(s).next, L"ResumeReminder_TimerProc");
}

void StartTimerForBreak() {
  DebugPrint(qvn::kExecLogTrace, L">>> StartTimerForBreak");
  KillTimers();
  QMEBreakSettings s = ReadSettings();
  DebugPrint(qvn::kExecLogInfo, L"break remainder %d", s.checkBreak);
  if (!s.checkBreak) return;
  if (g_breakPaused) {
    DebugPrint(qvn::kExecLogInfo, L"StartTimerForBreak break timers paused");
    return;
  }
  DebugPrint(qvn::kExecLogInfo, L"timer break remainder %d", s.breakMinutes);
  QMEBreakNext next = QMEBreakOnRestart(s);
  if (next.timer == QMEBreakTimer::None)
    DebugPrint(qvn::kExecLogError, L"StartTimerForBreak EditBreakTime %d is no valid period", s.breakMinutes);
  SetNext(next, L"StartTimerForBreak");
}

DWORD WINAPI Break_ThreadProc(void* param) {
  auto* data = static_cast<QMEBreakThreadData*>(param);
  HRESULT com = CoInitialize(nullptr);
  HANDLE events[2] = {data->exitEvent, data->restartEvent};
  for (;;) {
    MSG msg;
    bool quit = false;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        quit = true;
        break;
      }
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    if (quit) break;
    DWORD r = MsgWaitForMultipleObjects(2, events, FALSE, INFINITE, QS_ALLINPUT);
    if (r == WAIT_OBJECT_0 + 2) continue;
    if (r == WAIT_OBJECT_0 + 1) {
      StartTimerForBreak();
      continue;
    }
    if (r == WAIT_OBJECT_0) {
      DebugPrint(qvn::kExecLogInfo, L"Break Thread User Request To Stop");
    } else {
      DebugPrint(qvn::kExecLogError, L"Break_ThreadProc WaitForMultipleObjects failed! %d", GetLastError());
    }
    break;
  }
  KillTimers();
  if (SUCCEEDED(com)) CoUninitialize();
  return 0;
}

void FreeThreadData() {
  if (!g_pBreakThreadData) return;
  if (g_pBreakThreadData->restartEvent) CloseHandle(g_pBreakThreadData->restartEvent);
  if (g_pBreakThreadData->exitEvent) CloseHandle(g_pBreakThreadData->exitEvent);
  delete g_pBreakThreadData;
  g_pBreakThreadData = nullptr;
}

}  // namespace

bool QMEThreadBreakCreate() {
  if (g_hBreakThread) {
    DebugPrint(qvn::kExecLogInfo, L"g_hBreakThread already running.");
    return false;
  }
  FreeThreadData();
  g_pBreakThreadData = new (std::nothrow) QMEBreakThreadData{};
  if (!g_pBreakThreadData) {
    DebugPrint(qvn::kExecLogError, L"Memory allocation for g_pBreakThreadData failed!");
    return false;
  }
  g_pBreakThreadData->restartEvent = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  g_pBreakThreadData->exitEvent = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  if (g_pBreakThreadData->restartEvent && g_pBreakThreadData->exitEvent)
    g_hBreakThread = CreateThread(nullptr, 0, Break_ThreadProc, g_pBreakThreadData, 0, &g_breakThreadId);
  if (!g_hBreakThread) {
    FreeThreadData();
    DebugPrint(qvn::kExecLogError, L"Create Thread for Break Functions failed!");
    return false;
  }
  SetEvent(g_pBreakThreadData->restartEvent);
  DebugPrint(qvn::kExecLogInfo, L"Create Thread for Break Functions succesfully.");
  return true;
}

bool QMEThreadBreakRequestExitAndWait() {
  if (!g_hBreakThread) {
    DebugPrint(qvn::kExecLogError, L"g_hBreakThread not running.");
    return false;
  }
  SetEvent(g_pBreakThreadData->exitEvent);
  // A reminder box still open keeps the thread in the box's own loop, where
  // the exit event is not seen; a quit message ends that loop and then the
  // thread's own.
  DWORD r = WaitForSingleObject(g_hBreakThread, 500);
  if (r == WAIT_TIMEOUT) {
    PostThreadMessageW(g_breakThreadId, WM_QUIT, 0, 0);
    r = WaitForSingleObject(g_hBreakThread, INFINITE);
  }
  if (r != WAIT_OBJECT_0)
    DebugPrint(qvn::kExecLogError, L"QMEThreadBreakRequestExitAndWait: WaitForSingleObject failed, error in closing thread.");
  CloseHandle(g_hBreakThread);
  g_hBreakThread = nullptr;
  g_breakThreadId = 0;
  FreeThreadData();
  DebugPrint(qvn::kExecLogInfo, L"Break Thread is closed.");
  return true;
}

void QMEThreadBreakPause(bool paused) {
  DebugPrint(qvn::kExecLogInfo, paused ? L"QMEThreadBreakPause paused" : L"QMEThreadBreakPause resumed");
  InterlockedExchange(&g_breakPaused, paused ? 1 : 0);
  QMEThreadBreakReset();
}

void QMEThreadBreakReset() {
  if (g_pBreakThreadData && g_pBreakThreadData->restartEvent) SetEvent(g_pBreakThreadData->restartEvent);
}
