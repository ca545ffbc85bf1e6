#include "input_typing.h"

#include <cstring>

namespace qvntest {

namespace {

void ScanKey(WORD scan, bool extended, WORD vk, bool down) {
  INPUT in = {};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.wScan = scan;
  in.ki.dwFlags = KEYEVENTF_SCANCODE | (extended ? KEYEVENTF_EXTENDEDKEY : 0) | (down ? 0 : KEYEVENTF_KEYUP);
  SendInput(1, &in, sizeof in);
  Sleep(30);
}

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

void ScanKeyDown(WORD scan, bool extended, WORD vk) { ScanKey(scan, extended, vk, true); }
void ScanKeyUp(WORD scan, bool extended, WORD vk) { ScanKey(scan, extended, vk, false); }

bool PasteText(HWND control, const std::wstring& text) {
  if (!OpenClipboard(nullptr)) return false;
  EmptyClipboard();
  size_t bytes = (text.size() + 1) * sizeof(wchar_t);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
  if (memory) {
    memcpy(GlobalLock(memory), text.c_str(), bytes);
    GlobalUnlock(memory);
    if (!SetClipboardData(CF_UNICODETEXT, memory)) {
      GlobalFree(memory);
      memory = nullptr;
    }
  }
  CloseClipboard();
  return memory && SendMessageTimeoutW(control, WM_PASTE, 0, 0, SMTO_NORMAL, 5000, nullptr) != 0;
}

}  // namespace qvntest
