// A notification area of the test's own: a "Shell_TrayWnd" window on its
// own thread that records what Shell_NotifyIcon hands the shell
// (WM_COPYDATA with the operation and the icon record).
#pragma once
#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

struct TrayCall {
  DWORD op;  // NIM_ADD, NIM_MODIFY, NIM_DELETE
  DWORD window;
  UINT id;
  UINT flags;
  UINT callback;
  bool hasTip;  // the product tip appears in the record
};

class FakeTray {
 public:
  FakeTray() = default;
  ~FakeTray();
  bool Start();
  std::vector<TrayCall> Calls() const;
  size_t Count(DWORD op) const;
  bool WaitCount(DWORD op, size_t n, DWORD ms) const;
  HWND Window() const { return window_; }
  // The next `n` adds are refused (still recorded), as by a tray not ready yet.
  void RefuseAdds(int n) { refuseAdds_ = n; }

 private:
  static DWORD WINAPI Thread(void* self);
  static LRESULT CALLBACK Proc(HWND, UINT, WPARAM, LPARAM);
  HANDLE thread_ = nullptr;
  HANDLE ready_ = nullptr;
  DWORD threadId_ = 0;
  HWND window_ = nullptr;
  mutable CRITICAL_SECTION lock_;
  bool lockInit_ = false;
  std::vector<TrayCall> calls_;
  volatile LONG refuseAdds_ = 0;
};
