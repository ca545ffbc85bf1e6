// Finding another process's dialogs and waiting, bounded, for the states of
// windows: shown, gone, active with the focus, showing a text.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace qvntest {

// The visible top-level dialogs (class "#32770") of process pid, in
// z-order; with a caption only those that carry it.
std::vector<HWND> ProcessDialogs(DWORD pid, const wchar_t* caption = nullptr);
// The first of them waited for; null on time-out.
HWND WaitDialog(DWORD pid, const wchar_t* caption = nullptr, DWORD timeoutMs = 10000);
// Until the window is destroyed or hidden.
bool WaitGone(HWND window, DWORD timeoutMs = 10000);
// Until window is the foreground and active window of its thread and, when
// focusControl is given, the focus is on it (brought to the front meanwhile).
bool WaitActive(HWND window, HWND focusControl, DWORD timeoutMs = 10000);

// A message box of process pid owned by owner, waited for: its text, then
// OK pressed with a real click; "" when none came.
std::wstring MessageBoxAnswer(DWORD pid, HWND owner, DWORD timeoutMs = 10000);

// A window's text (WM_GETTEXT, bounded when the owner does not answer).
std::wstring WindowText(HWND window);
bool WaitWindowText(HWND window, const std::wstring& text, DWORD timeoutMs = 5000);

// Polls while dispatching this thread's messages, for tests whose own
// windows must stay served meanwhile.
template <class F>
bool PumpUntil(F pred, DWORD timeoutMs) {
  DWORD start = GetTickCount();
  for (;;) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    if (pred()) return true;
    if (GetTickCount() - start >= timeoutMs) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}
void PumpFor(DWORD ms);

}  // namespace qvntest
