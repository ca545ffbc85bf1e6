#include "break_preview.h"

#include <mmsystem.h>
#include <objbase.h>

#include "break_sound_core.h"
#include "log_levels.h"
#include "cpl_module.h"
#include "qvnlog.h"

namespace {

constexpr int kBreakPreviewButton = 284;
constexpr int kResumePreviewButton = 283;
constexpr int kIconPlay = 202;
constexpr int kIconStop = 203;
constexpr UINT_PTR kPreviewTimer = 0;
constexpr DWORD kWorkerEndWaitMs = 5000;

// What the worker posts (wParam).
constexpr WPARAM kStatePlayed = 1;   // lParam: length in ms; play succeeded
constexpr WPARAM kStateFailed = 2;   // lParam: length in ms; play refused
constexpr WPARAM kStateStopped = 3;  // back to idle, timer off

// Module state: one preview player per library.
HWND g_page = nullptr;
wchar_t g_previewPath[qvn::kSoundPathRoom] = {};
volatile LONG g_breakActive = 0;
volatile LONG g_resumeActive = 0;
volatile LONG g_playing = 0;
HANDLE g_play = nullptr;
HANDLE g_stop = nullptr;
HANDLE g_finished = nullptr;
HANDLE g_quit = nullptr;
HANDLE g_thread = nullptr;
DWORD g_threadId = 0;
HICON g_iconPlay = nullptr;
HICON g_iconStop = nullptr;

HICON Icon(int id) {
  return static_cast<HICON>(
      LoadImageW(qvn::CplModuleInstance(), MAKEINTRESOURCEW(id), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE));
}

void ButtonIconSet(int buttonId, HICON icon) {
  if (!g_page) return;
  SendDlgItemMessageW(g_page, buttonId, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon));
  DebugPrint(qvn::kCplLogInput, L"Break Icon");
}

// The icon on the active button(s).
void ActiveIconsSet(HICON icon) {
  if (g_breakActive) ButtonIconSet(kBreakPreviewButton, icon);
  if (g_resumeActive) ButtonIconSet(kResumePreviewButton, icon);
}

MCIERROR Mci(const wchar_t* command, wchar_t* answer = nullptr, UINT answerRoom = 0) {
  return mciSendStringW(command, answer, answerRoom, nullptr);
}

void WorkerPlay() {
  DebugPrint(qvn::kCplLogInput, L"Break_ThreadProc Thread Start Play");
  std::wstring open = qvn::MciOpenCommand(g_previewPath);
  MCIERROR result = open.empty() ? MCIERR_MISSING_PARAMETER : Mci(open.c_str());
  DebugPrint(qvn::kCplLogInput, L"File Open %d", static_cast<int>(result));
  result = Mci(L"play voice1");
  DebugPrint(qvn::kCplLogInput, L"File Play %d", static_cast<int>(result));
  bool played = result == 0;
  if (played) InterlockedExchange(&g_playing, 1);
  Mci(L"set voice1 time format ms");
  wchar_t answer[qvn::kSoundPathRoom] = {};
  Mci(L"status voice1 length", answer, qvn::kSoundPathRoom);
  unsigned length = qvn::MciLengthMilliseconds(answer);
  DebugPrint(qvn::kCplLogInput, L"TimeTaken %d", static_cast<int>(length));
  PostMessageW(g_page, qvn::WM_APP_BREAK_PREVIEW_STATE, played ? kStatePlayed : kStateFailed,
               static_cast<LPARAM>(length));
}

// False when MCI refused to stop: the playing state stays as it is.
bool WorkerStop() {
  DebugPrint(qvn::kCplLogInput, L"Thread Stop Play");
  MCIERROR result = Mci(L"stop voice1");
  if (result != 0) return false;
  DebugPrint(qvn::kCplLogInput, L"File strop %d", 0);
  InterlockedExchange(&g_breakActive, 1);
  InterlockedExchange(&g_resumeActive, 1);
  result = Mci(L"close voice1");
  DebugPrint(qvn::kCplLogInput, L"File Close %d", static_cast<int>(result));
  InterlockedExchange(&g_playing, 0);
  PostMessageW(g_page, qvn::WM_APP_BREAK_PREVIEW_STATE, kStateStopped, 0);
  return true;
}

DWORD WINAPI Break_ThreadProc(LPVOID) {
  HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  HANDLE events[4] = {g_play, g_stop, g_finished, g_quit};
  for (;;) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
    DWORD wait = MsgWaitForMultipleObjects(4, events, FALSE, INFINITE, QS_ALLINPUT);
    if (wait == WAIT_OBJECT_0) {
      WorkerPlay();
    } else if (wait == WAIT_OBJECT_0 + 1) {
      WorkerStop();
    } else if (wait == WAIT_OBJECT_0 + 2) {
      MCIERROR result = Mci(L"close voice1");
      DebugPrint(qvn::kCplLogInput, L"Res Close %d", static_cast<int>(result));
    } else if (wait == WAIT_OBJECT_0 + 3) {
      break;
    } else if (wait == WAIT_OBJECT_0 + 4) {
      continue;
    } else {
      // A wait that fails once fails again: end rather than spin.
      DebugPrint(qvn::kCplLogError, L"Break_ThreadProc  WaitForMultipleObjects failed! %d", GetLastError());
      break;
    }
  }
  Mci(L"stop voice1");
  Mci(L"close voice1");
  DebugPrint(qvn::kCplLogInput, L"Break_ThreadProc Thread End");
  if (SUCCEEDED(com)) CoUninitialize();
  return 0;
}

void EventsClose() {
  HANDLE* all[4] = {&g_play, &g_stop, &g_finished, &g_quit};
  for (HANDLE* h : all) {
    if (*h) CloseHandle(*h);
    *h = nullptr;
  }
}

}  // namespace

namespace qvn {

bool BreakPreviewStart(HWND page) {
  BreakPreviewStop();
  g_page = page;
  g_iconPlay = Icon(kIconPlay);
  g_iconStop = Icon(kIconStop);
  InterlockedExchange(&g_playing, 0);
  g_play = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  g_stop = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  g_finished = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  g_quit = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  bool ok = g_play && g_stop && g_finished && g_quit;
  if (ok) g_thread = CreateThread(nullptr, 0, Break_ThreadProc, nullptr, 0, &g_threadId);
  if (!ok || !g_thread) {
    DebugPrint(qvn::kCplLogError, L"CreateBreakThread  CreateThread failed! %d", GetLastError());
    EventsClose();
  }
  InterlockedExchange(&g_breakActive, 1);
  InterlockedExchange(&g_resumeActive, 1);
  ButtonIconSet(kBreakPreviewButton, g_iconPlay);
  ButtonIconSet(kResumePreviewButton, g_iconPlay);
  return g_thread != nullptr;
}

void BreakPreviewStop() {
  if (g_page) KillTimer(g_page, kPreviewTimer);
  if (g_thread) {
    SetEvent(g_quit);
    DWORD wait = WaitForSingleObject(g_thread, kWorkerEndWaitMs);
    CloseHandle(g_thread);
    g_thread = nullptr;
    g_threadId = 0;
    if (wait == WAIT_OBJECT_0) {
      EventsClose();
    } else {
      // The worker is stuck inside MCI: its events stay valid for it.
      DebugPrint(qvn::kCplLogError, L"BreakPreviewStop worker did not end! %d", static_cast<int>(wait));
      g_play = g_stop = g_finished = g_quit = nullptr;
    }
  }
  if (g_iconPlay) DestroyIcon(g_iconPlay);
  if (g_iconStop) DestroyIcon(g_iconStop);
  g_iconPlay = g_iconStop = nullptr;
  InterlockedExchange(&g_playing, 0);
  g_page = nullptr;
}

void BreakPreviewButtonPressed(bool breakButton, const wchar_t* entry) {
  if (!g_thread) return;
  if (g_playing) {
    DebugPrint(qvn::kCplLogInput, L"File is Playing and request to Stop");
    SetEvent(g_stop);
    return;
  }
  InterlockedExchange(&g_breakActive, breakButton ? 1 : 0);
  InterlockedExchange(&g_resumeActive, breakButton ? 0 : 1);
  wchar_t windowsDir[MAX_PATH] = {};
  UINT n = GetWindowsDirectoryW(windowsDir, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) windowsDir[0] = 0;
  if (!qvn::SoundPreviewPath(entry, windowsDir, g_previewPath, qvn::kSoundPathRoom)) {
    DebugPrint(qvn::kCplLogError, L"BreakPreviewButtonPressed no playable path! %s", entry ? entry : L"");
    return;
  }
  SetEvent(g_play);
}

void BreakPreviewStateApply(WPARAM wParam, LPARAM lParam) {
  if (!g_page) return;
  if (wParam == kStatePlayed || wParam == kStateFailed) {
    if (wParam == kStatePlayed) ActiveIconsSet(g_iconStop);
    SetTimer(g_page, kPreviewTimer, static_cast<UINT>(lParam), TimeToPlayWaveFileProc);
  } else if (wParam == kStateStopped) {
    ButtonIconSet(kBreakPreviewButton, g_iconPlay);
    ButtonIconSet(kResumePreviewButton, g_iconPlay);
    KillTimer(g_page, kPreviewTimer);
  }
}

}  // namespace qvn

void CALLBACK TimeToPlayWaveFileProc(HWND page, UINT, UINT_PTR, DWORD) {
  DebugPrint(qvn::kCplLogTrace, L"TimeToPlayWaveFileProc");
  KillTimer(page, kPreviewTimer);
  InterlockedExchange(&g_playing, 0);
  ActiveIconsSet(g_iconPlay);
  if (g_finished) SetEvent(g_finished);
}
