#include "pointer_scale_core.h"

namespace qvn {

int SpeedToTrackbarPosition(int speed) {
  if (speed < kPointerSpeedMin) speed = kPointerSpeedMin;
  if (speed > kPointerSpeedMax) speed = kPointerSpeedMax;
  return speed / 2;
}

int TrackbarPositionToSpeed(int position) {
  if (position <= 0) return 1;
  if (position > kTrackbarPositionMax) position = kTrackbarPositionMax;
  return 2 * position;
}

int ToggleCurrentRow(const bool checked[kToggleRowCount]) {
  int count = 0;
  int lowest = 0;
  for (int i = 0; i < kToggleRowCount; ++i) {
    if (!checked[i]) continue;
    ++count;
    if (lowest == 0) lowest = i + 1;
  }
  return count >= 2 ? lowest : 0;
}

int CurrentSpeedRowNormalize(int stored) { return stored >= 1 && stored <= kToggleRowCount ? stored : 0; }

Shortcut ShortcutDecode(uint32_t stored) {
  Shortcut s;
  s.key = static_cast<int>(stored & kShortcutKeyMask);
  s.ctrl = (stored & kShortcutCtrl) != 0;
  s.alt = (stored & kShortcutAlt) != 0;
  s.shift = (stored & kShortcutShift) != 0;
  return s;
}

uint32_t ShortcutEncode(const Shortcut& shortcut) {
  uint32_t key = static_cast<uint32_t>(shortcut.key) & kShortcutKeyMask;
  if (key == 0) return 0;
  if (shortcut.ctrl) key |= kShortcutCtrl;
  if (shortcut.alt) key |= kShortcutAlt;
  if (shortcut.shift) key |= kShortcutShift;
  return key;
}

}  // namespace qvn
