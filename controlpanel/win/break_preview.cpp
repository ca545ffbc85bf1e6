#include "break_preview.h"

#include <mmsystem.h>
#include <objbase.h>

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
};

namespace {

constexpr int kBreakPreviewButton = 284;
constexpr int kResumePreviewButton = 283;
constexpr int kIconPlay = 202;
constexpr int kIconStop = 203;
constexpr DWORD kWorkerEndWaitMs = 5000;

void SharedRelease(BreakPreview::Shared* shared) {
  if (InterlockedDecrement(&shared->references) != 0) return;
  if (shared->wake) CloseHandle(shared->wake);
  DeleteCriticalSection(&shared->lock);
  delete shared;
}

// The play or stop icon at the size for the page's DPI (16 px at 100 %).
HICON Icon(int id, HWND page) { return LoadIconForDpi(CplModuleInstance(), id, 16, DpiForWindow(page)); }

MCIERROR Mci(const wchar_t* command, wchar_t* answer = nullptr, UINT answerRoom = 0) {
  return mciSendStringW(command, answer, answerRoom, nullptr);
}

// Opens and plays path; answers the page. True when the device is open.
bool WorkerPlay(const BreakPreview::Shared* shared, unsigned press, const wchar_t* path) {
  DebugPrint(kCplLogInput, L"Break_ThreadProc Thread Start Play");
  std::wstring open = MciOpenCommand(path);
  MCIERROR opened = open.empty() ? MCIERR_MISSING_PARAMETER : Mci(open.c_str());
  DebugPrint(kCplLogInput, L"File Open %d", static_cast<int>(opened));
  MCIERROR result = Mci(L"play voice1");
  DebugPrint(kCplLogInput, L"File Play %d", static_cast<int>(result));
  LPARAM answer = -1;
  if (result == 0) {
    Mci(L"set voice1 time format ms");
    wchar_t length[kSoundPathRoom] = {};
    Mci(L"status voice1 length", length, kSoundPathRoom);
    unsigned ms = MciLengthMilliseconds(length);
    DebugPrint(kCplLogInput, L"TimeTaken %d", static_cast<int>(ms));
    answer = static_cast<LPARAM>(ms);
  } else if (opened == 0) {
    result = Mci(L"close voice1");
    DebugPrint(kCplLogInput, L"Res Close %d", static_cast<int>(result));
  }
  PostMessageW(shared->page, WM_APP_BREAK_PREVIEW_STATE, press, answer);
  return answer >= 0;
}

void WorkerStop() {
  DebugPrint(kCplLogInput, L"Thread Stop Play");
  MCIERROR result = Mci(L"stop voice1");
  DebugPrint(kCplLogInput, L"File strop %d", static_cast<int>(result));
  result = Mci(L"close voice1");
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
      MCIERROR result = Mci(L"close voice1");
      DebugPrint(kCplLogInput, L"Res Close %d", static_cast<int>(result));
    } else if (open) {
      WorkerStop();
    }
    open = request.kind == PreviewRequest::kPlay && WorkerPlay(shared, request.press, path);
  }
  if (open) WorkerStop();
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
