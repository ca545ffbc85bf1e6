#include "input_typing.h"

#include <cstring>

namespace qvntest {

namespace {

void Key(WORD vk, bool down) {
  INPUT in = {};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
  in.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
  SendInput(1, &in, sizeof in);
  Sleep(30);
}

}  // namespace

void KeyDown(WORD vk) { Key(vk, true); }
void KeyUp(WORD vk) { Key(vk, false); }

void TapKey(WORD vk, bool ctrl, bool alt, bool shift) {
  if (ctrl) KeyDown(VK_CONTROL);
  if (alt) KeyDown(VK_MENU);
  if (shift) KeyDown(VK_SHIFT);
  KeyDown(vk);
  KeyUp(vk);
  if (shift) KeyUp(VK_SHIFT);
  if (alt) KeyUp(VK_MENU);
  if (ctrl) KeyUp(VK_CONTROL);
}

void TypeText(const std::wstring& text) {
  for (wchar_t c : text) {
    INPUT in[2] = {};
    for (INPUT& i : in) {
      i.type = INPUT_KEYBOARD;
      i.ki.wScan = c;
      i.ki.dwFlags = KEYEVENTF_UNICODE;
    }
    in[1].ki.dwFlags |= KEYEVENTF_KEYUP;
    SendInput(2, in, sizeof(INPUT));
    Sleep(10);
  }
}

void TapScanKey(WORD scan, bool extended, WORD vk) {
  for (DWORD up : {0, KEYEVENTF_KEYUP}) {
    INPUT in{INPUT_KEYBOARD};
    in.ki = {vk, scan, KEYEVENTF_SCANCODE | (extended ? KEYEVENTF_EXTENDEDKEY : 0u) | up, 0, 0};
    SendInput(1, &in, sizeof in);
    Sleep(30);
  }
}

bool PasteText(HWND control, const std::wstring& text) {
  const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
  if (!memory) return false;
  memcpy(GlobalLock(memory), text.c_str(), bytes);
  GlobalUnlock(memory);
  const bool placed = OpenClipboard(nullptr) && EmptyClipboard() && SetClipboardData(CF_UNICODETEXT, memory);
  CloseClipboard();
  if (!placed) GlobalFree(memory);  // the clipboard owns it once placed
  return placed && SendMessageTimeoutW(control, WM_PASTE, 0, 0, SMTO_NORMAL, 5000, nullptr) != 0;
}

}  // namespace qvntest
