#include "input_clicks.h"

#include <cwchar>

namespace qvntest {

namespace {

bool IsCheckOrRadio(HWND window) {
  wchar_t cls[32] = {};
  GetClassNameW(window, cls, 32);
  if (_wcsicmp(cls, L"Button") != 0) return false;
  switch (GetWindowLongW(window, GWL_STYLE) & BS_TYPEMASK) {
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_3STATE:
    case BS_AUTO3STATE:
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
      return true;
    default:
      return false;
  }
}

}  // namespace

bool ClickPoint(int x, int y) {
  int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
  INPUT in[3] = {};
  for (INPUT& i : in) {
    i.type = INPUT_MOUSE;
    i.mi.dx = (x * 65535 + sw / 2) / (sw - 1);
    i.mi.dy = (y * 65535 + sh / 2) / (sh - 1);
  }
  in[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  in[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_ABSOLUTE;
  in[2].mi.dwFlags = MOUSEEVENTF_LEFTUP | MOUSEEVENTF_ABSOLUTE;
  SetCursorPos(x, y);
  if (SendInput(1, &in[0], sizeof(INPUT)) != 1) return false;
  Sleep(50);
  return SendInput(2, &in[1], sizeof(INPUT)) == 2;
}

bool ClickWindow(HWND window) {
  RECT r;
  if (!window || !GetWindowRect(window, &r)) return false;
  int x = (r.left + r.right) / 2, y = (r.top + r.bottom) / 2;
  if (IsCheckOrRadio(window)) x = r.left + 6;
  return ClickPoint(x, y);
}

bool ClickWindowAt(HWND window, double fx, double fy) {
  RECT r;
  if (!window || !GetWindowRect(window, &r)) return false;
  return ClickPoint(r.left + static_cast<int>((r.right - r.left) * fx), r.top + static_cast<int>((r.bottom - r.top) * fy));
}

}  // namespace qvntest
