#include "break_preview.h"

#include <mmsystem.h>
#include <objbase.h>

#include <string>

#include "break_sound_core.h"
#include "cpl_module.h"
#include "log_levels.h"
#include "qvnlog.h"
#include "settings_table.h"
#include "window_dpi.h"

namespace qvn {

struct BreakPreview::Shared {
  volatile LONG references = 2;  // the page and the worker
  CRITICAL_SECTION lock;
  HANDLE wake = nullptr;  // auto-reset: a request is waiting
  HWND page = nullptr;
  HMODULE module = nullptr;  // the worker's reference on the library
  // Under the lock: the latest request, its sound, and the end.
  PreviewRequest request;
  wchar_t path[kSoundPathRoom] = {};
  bool quit = false;
  unsigned player = 0;  // its number among the players of this process, for its MCI alias
  std::wstring alias;
};

namespace {

constexpr int kBreakPreviewButton = 284;
constexpr int kResumePreviewButton = 283;
constexpr int kIconPlay = 202;
constexpr int kIconStop = 203;
constexpr DWORD kWorkerEndWaitMs = 5000;

// Bit n: player n's MCI alias is taken. The lowest free one goes to a new
// player and comes back when its worker has ended (its device closed).
volatile LONG g_playersInUse = 0;

unsigned PlayerTake() {
  for (;;) {
    const LONG used = g_playersInUse;
    unsigned n = 0;
    while (n < 30 && (used & (1L << n))) ++n;
    if (InterlockedCompareExchange(&g_playersInUse, used | (1L << n), used) == used) return n;
  }
}

void SharedRelease(BreakPreview::Shared* shared) {
  if (InterlockedDecrement(&shared->references) != 0) return;
  InterlockedAnd(&g_playersInUse, ~(1L << shared->player));
  if (shared->wake) CloseHandle(shared->wake);
  DeleteCriticalSection(&shared->lock);
  delete shared;
}

// The play or stop icon at the size for the page's DPI (16 px at 100 %).
HICON Icon(int id, HWND page) { return LoadIconForDpi(CplModuleInstance(), id, 16, DpiForWindow(page)); }

// "<verb> <alias><rest>" to the worker's own device.
MCIERROR Mci(const BreakPreview::Shared* shared, const wchar_t* verb, const wchar_t* rest = L"",
             wchar_t* answer = nullptr, UINT answerRoom = 0) {
  const std::wstring command = std::wstring(verb) + L" " + shared->alias + rest;
  return mciSendStringW(command.c_str(), answer, answerRoom, nullptr);
}

// Opens and plays path; answers the page. True when the device is open.
bool WorkerPlay(const BreakPreview::Shared* shared, unsigned press, const wchar_t* path) {
  DebugPrint(kCplLogInput, L"Break_ThreadProc Thread Start Play");
  std::wstring open = MciOpenCommand(path, shared->alias);
  MCIERROR opened = open.empty() ? MCIERR_MISSING_PARAMETER : mciSendStringW(open.c_str(), nullptr, 0, nullptr);
  DebugPrint(kCplLogInput, L"File Open %d", static_cast<int>(opened));
  MCIERROR result = Mci(shared, L"play");
  DebugPrint(kCplLogInput, L"File Play %d", static_cast<int>(result));
  LPARAM answer = -1;
  if (result == 0) {
    Mci(shared, L"set", L" time format ms");
    wchar_t length[kSoundPathRoom] = {};
    Mci(shared, L"status", L" length", length, kSoundPathRoom);
    unsigned ms = MciLengthMilliseconds(length);
    DebugPrint(kCplLogInput, L"TimeTaken %d", static_cast<int>(ms));
    answer = static_cast<LPARAM>(ms);
  } else if (opened == 0) {
    result = Mci(shared, L"close");
    DebugPrint(kCplLogInput, L"Res Close %d", static_cast<int>(result));
  }
  PostMessageW(shared->page, WM_APP_BREAK_PREVIEW_STATE, press, answer);
  return answer >= 0;
}

void WorkerStop(const BreakPreview::Shared* shared) {
  DebugPrint(kCplLogInput, L"Thread Stop Play");
  MCIERROR result = Mci(shared, L"stop");
  DebugPrint(kCplLogInput, L"File strop %d", static_cast<int>(result));
  result = Mci(shared, L"close");
  DebugPrint(kCplLogInput, L"File Close %d", static_cast<int>(result));
}

DWORD WINAPI Break_ThreadProc(LPVOID parameter) {
  auto* shared = static_cast<BreakPreview::Shared*>(parameter);
  HMODULE module = shared->module;
  HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  bool open = false;
  for (;;) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
    DWORD wait = MsgWaitForMultipleObjects(1, &shared->wake, FALSE, INFINITE, QS_ALLINPUT);
    if (wait == WAIT_OBJECT_0 + 1) continue;
    if (wait != WAIT_OBJECT_0) {
      // A wait that fails once fails again: end rather than spin.
      DebugPrint(kCplLogError, L"Break_ThreadProc  WaitForMultipleObjects failed! %d", GetLastError());
      break;
    }
    PreviewRequest request;
    wchar_t path[kSoundPathRoom];
    EnterCriticalSection(&shared->lock);
    bool quit = shared->quit;
    request = shared->request;
    shared->request = PreviewRequest();
    QvnCopyText(path, kSoundPathRoom, shared->path);
    LeaveCriticalSection(&shared->lock);
    if (quit) break;
    if (request.kind == PreviewRequest::kNone) continue;
    if (open && request.kind == PreviewRequest::kClose) {
      MCIERROR result = Mci(shared, L"close");
      DebugPrint(kCplLogInput, L"Res Close %d", static_cast<int>(result));
    } else if (open) {
      WorkerStop(shared);
    }
    open = request.kind == PreviewRequest::kPlay && WorkerPlay(shared, request.press, path);
  }
  if (open) WorkerStop(shared);
  DebugPrint(kCplLogInput, L"Break_ThreadProc Thread End");
  if (SUCCEEDED(com)) CoUninitialize();
  SharedRelease(shared);
  FreeLibraryAndExitThread(module, 0);
  return 0;
}

}  // namespace

bool BreakPreview::Start(HWND page) {
  Stop();
  page_ = page;
  iconPlay_ = Icon(kIconPlay, page);
  iconStop_ = Icon(kIconStop, page);
  shared_ = new Shared;
  InitializeCriticalSection(&shared_->lock);
  shared_->page = page;
  shared_->player = PlayerTake();
  shared_->alias = PreviewAlias(shared_->player);
  shared_->wake = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  bool ok = shared_->wake &&
            GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCWSTR>(&Break_ThreadProc),
                               &shared_->module);
  if (ok) thread_ = CreateThread(nullptr, 0, Break_ThreadProc, shared_, 0, nullptr);
  if (!thread_) {
    DebugPrint(kCplLogError, L"CreateBreakThread  CreateThread failed! %d", GetLastError());
    if (shared_->module) FreeLibrary(shared_->module);
    SharedRelease(shared_);  // the worker's share
    SharedRelease(shared_);
    shared_ = nullptr;
  }
  IconsShow();
  return thread_ != nullptr;
}

void BreakPreview::Stop() {
  if (page_) KillTimer(page_, kBreakPreviewTimer);
  if (thread_) {
    EnterCriticalSection(&shared_->lock);
    shared_->quit = true;
    LeaveCriticalSection(&shared_->lock);
    SetEvent(shared_->wake);
    DWORD wait = WaitForSingleObject(thread_, kWorkerEndWaitMs);
    // A worker stuck inside MCI keeps its share and the library until it
    // ends.
    if (wait != WAIT_OBJECT_0) DebugPrint(kCplLogError, L"BreakPreviewStop worker did not end! %d", static_cast<int>(wait));
    CloseHandle(thread_);
    thread_ = nullptr;
  }
  if (shared_) SharedRelease(shared_);
  shared_ = nullptr;
  if (iconPlay_) DestroyIcon(iconPlay_);
  if (iconStop_) DestroyIcon(iconStop_);
  iconPlay_ = iconStop_ = nullptr;
  machine_ = BreakPreviewMachine();
  page_ = nullptr;
}

void BreakPreview::ButtonPressed(bool breakButton, const wchar_t* entry) {
  if (!thread_) return;
  wchar_t path[kSoundPathRoom] = {};
  if (machine_.Playing()) {
    DebugPrint(kCplLogInput, L"File is Playing and request to Stop");
  } else {
    wchar_t windowsDir[MAX_PATH] = {};
    UINT n = GetWindowsDirectoryW(windowsDir, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) windowsDir[0] = 0;
    if (!SoundPreviewPath(entry, windowsDir, path, kSoundPathRoom)) {
      DebugPrint(kCplLogError, L"BreakPreviewButtonPressed no playable path! %s", entry ? entry : L"");
      return;
    }
  }
  KillTimer(page_, kBreakPreviewTimer);
  Request(machine_.Press(breakButton ? PreviewButton::Break : PreviewButton::Resume), path);
  IconsShow();
}

void BreakPreview::StateApply(WPARAM wParam, LPARAM lParam) {
  if (!page_) return;
  if (machine_.Started(static_cast<unsigned>(wParam), lParam >= 0))
    SetTimer(page_, kBreakPreviewTimer, static_cast<UINT>(lParam), nullptr);
  IconsShow();
}

void BreakPreview::TimeToPlayWaveFileProc() {
  DebugPrint(kCplLogTrace, L"TimeToPlayWaveFileProc");
  if (!page_) return;
  KillTimer(page_, kBreakPreviewTimer);
  Request(machine_.Finished(), nullptr);
  IconsShow();
}

void BreakPreview::Request(const PreviewRequest& request, const wchar_t* path) {
  if (!shared_ || request.kind == PreviewRequest::kNone) return;
  EnterCriticalSection(&shared_->lock);
  shared_->request = request;
  QvnCopyText(shared_->path, kSoundPathRoom, path ? path : L"");
  LeaveCriticalSection(&shared_->lock);
  SetEvent(shared_->wake);
}

void BreakPreview::IconsShow() {
  if (!page_) return;
  const struct {
    int id;
    PreviewButton button;
  } buttons[] = {{kBreakPreviewButton, PreviewButton::Break}, {kResumePreviewButton, PreviewButton::Resume}};
  for (const auto& b : buttons) {
    HICON want = machine_.ShowsStop(b.button) ? iconStop_ : iconPlay_;
    HWND button = GetDlgItem(page_, b.id);
    if (!button || reinterpret_cast<HICON>(SendMessageW(button, BM_GETIMAGE, IMAGE_ICON, 0)) == want) continue;
    SendMessageW(button, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(want));
    DebugPrint(kCplLogInput, L"Break Icon");
  }
}

}  // namespace qvn
