// The keys as a keyboard sends them: the scan code and the extended (E0)
// flag of a virtual key, as the executive injects it and as the recording
// dialog names it.
//
// Keys whose place on the keyboard is the same in every layout (the
// extended keys: arrows, Home, End, Page Up/Down, Insert, Delete, the
// Windows and Apps keys, right Ctrl, right Alt, numpad Divide, Num Lock,
// Print Screen, the browser and media keys; and the left/right modifiers
// 160-165 the low-level hook reports for real Shift, Ctrl and Alt keys, and
// Pause) come from a fixed table. Every other key is asked of the keyboard
// layout in use, so that a letter lands on the key that gives that letter
// in the target program's layout (Ctrl+Z is the key marked Z on a French
// keyboard too).
#pragma once
#include <cstdint>

namespace qvn {

// Key flags of a key injection: an E0-prefixed (extended) key.
constexpr uint16_t kKeyFlagExtendedKey = 2;

// A keyboard layout: the scan code its key for a virtual key has, 0 when
// no key of the layout gives that virtual key.
class KeyboardLayoutPort {
 public:
  virtual ~KeyboardLayoutPort() = default;
  virtual uint16_t ScanCodeOf(uint16_t virtualKey) = 0;
};

struct KeyScan {
  uint16_t scan = 0;
  uint16_t flags = 0;  // 0, or kKeyFlagExtendedKey
};

// The scan code and flags of a virtual key in `layout`; false (out
// untouched) when the key has no scan code there. A key of the fixed table
// goes out as the table says; for any other key `requestedFlags` may ask
// for its extended twin (numpad Enter is VK_RETURN with the extended flag,
// right Ctrl is VK_CONTROL with it).
bool KeyScanGet(uint16_t virtualKey, uint16_t requestedFlags, KeyboardLayoutPort& layout, KeyScan* out);

// The argument GetKeyNameTextW takes for a key: the scan code in bits
// 16-23, the extended flag in bit 24. 0 when the key has no scan code.
int32_t KeyNameArgument(uint16_t virtualKey, KeyboardLayoutPort& layout);

}  // namespace qvn
