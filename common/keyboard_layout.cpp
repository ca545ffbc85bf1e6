#include "keyboard_layout.h"

namespace qvn {

uint16_t SystemKeyboardLayout::ScanCodeOf(uint16_t virtualKey) {
  return static_cast<uint16_t>(MapVirtualKeyExW(virtualKey, MAPVK_VK_TO_VSC, layout_));
}

HKL ForegroundKeyboardLayout() {
  DWORD thread = 0;
  if (HWND foreground = GetForegroundWindow()) thread = GetWindowThreadProcessId(foreground, nullptr);
  return GetKeyboardLayout(thread);
}

}  // namespace qvn
