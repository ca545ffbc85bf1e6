#include "key_table.h"

namespace qvn {

namespace {

struct FixedKey {
  uint16_t virtualKey;
  uint8_t scan;
  bool extended;
};

// Scan codes (set 1) of the keys whose place does not depend on the
// layout and which a layout's own mapping gives without their E0 prefix,
// or not at all.
constexpr FixedKey kFixedKeys[] = {
    {0x03, 0x46, true},   // Ctrl+Break
    {0x13, 0x45, false},  // Pause
    {0x21, 0x49, true},   // Page Up
    {0x22, 0x51, true},   // Page Down
    {0x23, 0x4F, true},   // End
    {0x24, 0x47, true},   // Home
    {0x25, 0x4B, true},   // Left
    {0x26, 0x48, true},   // Up
    {0x27, 0x4D, true},   // Right
    {0x28, 0x50, true},   // Down
    {0x2C, 0x37, true},   // Print Screen
    {0x2D, 0x52, true},   // Insert
    {0x2E, 0x53, true},   // Delete
    {0x5B, 0x5B, true},   // left Windows
    {0x5C, 0x5C, true},   // right Windows
    {0x5D, 0x5D, true},   // Apps
    {0x5F, 0x5F, true},   // Sleep
    {0x6F, 0x35, true},   // numpad Divide
    {0x90, 0x45, true},   // Num Lock
    {0xA0, 0x2A, false},  // left Shift
    {0xA1, 0x36, false},  // right Shift
    {0xA2, 0x1D, false},  // left Ctrl
    {0xA3, 0x1D, true},   // right Ctrl
    {0xA4, 0x38, false},  // left Alt
    {0xA5, 0x38, true},   // right Alt (AltGr)
    {0xA6, 0x6A, true},   // browser Back
    {0xA7, 0x69, true},   // browser Forward
    {0xA8, 0x67, true},   // browser Refresh
    {0xA9, 0x68, true},   // browser Stop
    {0xAA, 0x65, true},   // browser Search
    {0xAB, 0x66, true},   // browser Favorites
    {0xAC, 0x32, true},   // browser Home
    {0xAD, 0x20, true},   // Volume Mute
    {0xAE, 0x2E, true},   // Volume Down
    {0xAF, 0x30, true},   // Volume Up
    {0xB0, 0x19, true},   // Next Track
    {0xB1, 0x10, true},   // Previous Track
    {0xB2, 0x24, true},   // Stop
    {0xB3, 0x22, true},   // Play/Pause
    {0xB4, 0x6C, true},   // Mail
    {0xB5, 0x6D, true},   // Media Select
    {0xB6, 0x6B, true},   // Launch Application 1
    {0xB7, 0x21, true},   // Launch Application 2
};

const FixedKey* FixedKeyOf(uint16_t virtualKey) {
  for (const FixedKey& k : kFixedKeys)
    if (k.virtualKey == virtualKey) return &k;
  return nullptr;
}

}  // namespace

bool KeyScanGet(uint16_t virtualKey, uint16_t requestedFlags, KeyboardLayoutPort& layout, KeyScan* out) {
  if (const FixedKey* fixed = FixedKeyOf(virtualKey)) {
    out->scan = fixed->scan;
    out->flags = fixed->extended ? kKeyFlagExtendedKey : 0;
    return true;
  }
  uint16_t scan = static_cast<uint16_t>(layout.ScanCodeOf(virtualKey) & 0xFF);
  if (scan == 0) return false;
  out->scan = scan;
  out->flags = requestedFlags & kKeyFlagExtendedKey;
  return true;
}

int32_t KeyNameArgument(uint16_t virtualKey, KeyboardLayoutPort& layout) {
  KeyScan key;
  if (!KeyScanGet(virtualKey, 0, layout, &key)) return 0;
  int32_t argument = static_cast<int32_t>(key.scan) << 16;
  if (key.flags & kKeyFlagExtendedKey) argument |= 1 << 24;
  return argument;
}

}  // namespace qvn
