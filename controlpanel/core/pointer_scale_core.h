// The Pointer Speed page's rules: how a system pointer speed (1 to 20)
// sits on a trackbar of positions 0 to 10 and back, which toggle row is in
// force, and the layout of the stored keyboard shortcut. Pure C++.
#pragma once
#include <cstdint>

namespace qvn {

constexpr int kTrackbarPositionMax = 10;
constexpr int kPointerSpeedMin = 1;
constexpr int kPointerSpeedMax = 20;
constexpr int kToggleRowCount = 3;

// Speed s shows at s / 2; a speed outside 1..20 (a damaged setting) shows
// at the nearest end of the scale.
int SpeedToTrackbarPosition(int speed);
// Position p stores as 2p, position 0 as 1; positions outside 0..10 are
// taken at the nearest end.
int TrackbarPositionToSpeed(int position);

// The row in force for the checked state of toggle rows 1..3: the lowest
// checked row when two or more are checked, else 0 (toggling off).
int ToggleCurrentRow(const bool checked[kToggleRowCount]);
// A stored CurrentSpeedSelected as the page uses it: 1..3 as they are,
// anything else is 0 (toggling off).
int CurrentSpeedRowNormalize(int stored);

// PointerSpeedToggleShortCut: bits 0-7 the virtual key, 0x1000 Ctrl,
// 0x2000 Alt, 0x4000 Shift; 0 is no shortcut.
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

}  // namespace qvn
