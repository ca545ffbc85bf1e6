#include "fake_tray.h"

#include <cstring>

#include "qvntest.h"

namespace {
FakeTray* g_tray = nullptr;
const wchar_t kTip[] = L"Quorvane Mouse Manager v4.0";
}  // namespace

FakeTray::~FakeTray() {
  if (thread_) {
    PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
    WaitForSingleObject(thread_, 5000);
    CloseHandle(thread_);
  }
  if (ready_) CloseHandle(ready_);
  if (lockInit_) DeleteCriticalSection(&lock_);
  g_tray = nullptr;
}

bool FakeTray::Start() {
  InitializeCriticalSection(&lock_);
  lockInit_ = true;
  g_tray = this;
  ready_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  thread_ = CreateThread(nullptr, 0, Thread, this, 0, &threadId_);
  if (!thread_) return false;
  WaitForSingleObject(ready_, 5000);
  return window_ != nullptr;
}

DWORD WINAPI FakeTray::Thread(void* p) {
  auto* self = static_cast<FakeTray*>(p);
  WNDCLASSW wc{};
  wc.lpfnWndProc = Proc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"Shell_TrayWnd";
  RegisterClassW(&wc);
  // Topmost, so the shell's lookup of the first "Shell_TrayWnd" finds ours
  // before any other.
  self->window_ = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, L"Shell_TrayWnd", L"", WS_POPUP, 0, 0, 1, 1,
                                  nullptr, nullptr, wc.hInstance, nullptr);
  SetEvent(self->ready_);
  MSG m;
  while (GetMessageW(&m, nullptr, 0, 0) > 0) DispatchMessageW(&m);
  if (self->window_) DestroyWindow(self->window_);
  return 0;
}

LRESULT CALLBACK FakeTray::Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_COPYDATA && g_tray) {
    auto* cds = reinterpret_cast<COPYDATASTRUCT*>(lParam);
    TrayCall c{};
    c.op = static_cast<DWORD>(cds->dwData);
    // The shell's record begins with window, identifier, flags and callback
    // message as 32-bit values; the tip follows somewhere after them.
    if (cds->cbData >= 16) {
      const auto* u = static_cast<const uint32_t*>(cds->lpData);
      c.window = u[0];
      c.id = u[1];
      c.flags = u[2];
      c.callback = u[3];
      const size_t tipBytes = sizeof(kTip) - sizeof(wchar_t);
      const auto* bytes = static_cast<const char*>(cds->lpData);
      for (size_t off = 16; off + tipBytes <= cds->cbData && !c.hasTip; off += 2)
        c.hasTip = memcmp(bytes + off, kTip, tipBytes) == 0;
    }
    EnterCriticalSection(&g_tray->lock_);
    g_tray->calls_.push_back(c);
    LeaveCriticalSection(&g_tray->lock_);
    return c.op == NIM_ADD && InterlockedDecrement(&g_tray->refuseAdds_) >= 0 ? FALSE : TRUE;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

std::vector<TrayCall> FakeTray::Calls() const {
  EnterCriticalSection(&lock_);
  std::vector<TrayCall> v = calls_;
  LeaveCriticalSection(&lock_);
  return v;
}

size_t FakeTray::Count(DWORD op) const {
  size_t n = 0;
  for (const auto& c : Calls())
    if (c.op == op) ++n;
  return n;
}

bool FakeTray::WaitCount(DWORD op, size_t n, DWORD ms) const {
  return qvntest::WaitUntil([&] { return Count(op) >= n; }, ms);
}
