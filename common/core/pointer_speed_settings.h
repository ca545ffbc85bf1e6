// The stored pointer-speed settings as both the executive and the control
// panel read them: the system's speed range, "Enhance pointer precision" as
// SPI_SETMOUSE values, and the layout of the toggle's keyboard shortcut
// (PointerSpeedToggleShortCut). Pure C++ (no windows.h).
#pragma once
#include <cstdint>

namespace qvn {

// The pointer speed the system accepts (SPI_SETMOUSESPEED).
constexpr int32_t kPointerSpeedMin = 1;
constexpr int32_t kPointerSpeedMax = 20;

// SPI_SETMOUSE's two thresholds and acceleration: enhanced precision is
// 6, 10 and 1, none is 0, 0 and 0.
struct MouseAccel {
  int32_t threshold1, threshold2, acceleration;
};
constexpr MouseAccel MouseAccelFor(bool enhance) { return enhance ? MouseAccel{6, 10, 1} : MouseAccel{0, 0, 0}; }

// The shortcut: bits 0-7 the virtual key, 0x1000 Ctrl, 0x2000 Alt,
// 0x4000 Shift; 0 is no shortcut. Other bits carry no meaning.
constexpr uint32_t kShortcutKeyMask = 0xFF;
constexpr uint32_t kShortcutCtrl = 0x1000;
constexpr uint32_t kShortcutAlt = 0x2000;
constexpr uint32_t kShortcutShift = 0x4000;

struct Shortcut {
  int key = 0;  // virtual-key code, 0 = none
  bool ctrl = false;
  bool alt = false;
  bool shift = false;
};
// Reads the stored value; bits other than the key byte and the three
// modifier bits are ignored.
Shortcut ShortcutDecode(uint32_t stored);
// The value to store: 0 when there is no key (modifiers alone are no
// shortcut), otherwise the key with its modifier bits.
uint32_t ShortcutEncode(const Shortcut& shortcut);
// The part of a stored value that means something: the key and its
// modifiers, or 0 when the value names no key.
uint32_t ShortcutNormalize(uint32_t stored);

}  // namespace qvn
