#include "window_waits.h"

#include <cwchar>

#include "input_clicks.h"
#include "qvntest.h"

namespace qvntest {

namespace {

struct DialogSearch {
  DWORD pid;
  const wchar_t* caption;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectDialog(HWND w, LPARAM lParam) {
  auto* s = reinterpret_cast<DialogSearch*>(lParam);
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  if (pid != s->pid || !IsWindowVisible(w)) return TRUE;
  wchar_t cls[32] = {};
  GetClassNameW(w, cls, 32);
  if (wcscmp(cls, L"#32770") != 0) return TRUE;
  if (s->caption && WindowText(w) != s->caption) return TRUE;
  s->found.push_back(w);
  return TRUE;
}

}  // namespace

std::vector<HWND> ProcessDialogs(DWORD pid, const wchar_t* caption) {
  DialogSearch s{pid, caption, {}};
  EnumWindows(CollectDialog, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

HWND WaitDialog(DWORD pid, const wchar_t* caption, DWORD timeoutMs) {
  HWND found = nullptr;
  WaitUntil([&] {
    std::vector<HWND> dialogs = ProcessDialogs(pid, caption);
    found = dialogs.empty() ? nullptr : dialogs.front();
    return found != nullptr;
  }, timeoutMs);
  return found;
}

bool WaitGone(HWND window, DWORD timeoutMs) {
  return WaitUntil([&] { return !IsWindow(window) || !IsWindowVisible(window); }, timeoutMs);
}

bool WaitActive(HWND window, HWND focusControl, DWORD timeoutMs) {
  DWORD thread = GetWindowThreadProcessId(window, nullptr);
  return WaitUntil([&] {
    if (GetForegroundWindow() != window) SetForegroundWindow(window);
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(thread, &info)) return false;
    if (info.hwndActive != window || GetForegroundWindow() != window) return false;
    return !focusControl || info.hwndFocus == focusControl;
  }, timeoutMs, 50);
}

std::wstring WindowText(HWND window) {
  wchar_t text[1024] = {};
  DWORD_PTR result = 0;
  SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_BLOCK, 5000, &result);
  text[1023] = 0;
  return text;
}

bool WaitWindowText(HWND window, const std::wstring& text, DWORD timeoutMs) {
  return WaitUntil([&] { return WindowText(window) == text; }, timeoutMs);
}

void PumpFor(DWORD ms) {
  DWORD start = GetTickCount();
  PumpUntil([&] { return GetTickCount() - start >= ms; }, ms + 100);
}

std::wstring MessageBoxAnswer(DWORD pid, HWND owner, DWORD timeoutMs) {
  HWND box = nullptr;
  WaitUntil([&] {
    for (HWND d : ProcessDialogs(pid)) box = GetWindow(d, GW_OWNER) == owner && GetDlgItem(d, IDOK) ? d : box;
    return box != nullptr;
  }, timeoutMs);
  std::wstring text;
  for (HWND c = box ? GetWindow(box, GW_CHILD) : nullptr; c; c = GetWindow(c, GW_HWNDNEXT)) {
    wchar_t cls[16] = {};
    if (GetClassNameW(c, cls, 16) && _wcsicmp(cls, L"Static") == 0) text += WindowText(c);
  }
  if (box && ClickWindow(GetDlgItem(box, IDOK))) WaitGone(box);
  return text;
}

}  // namespace qvntest
