#include "pointer_speed_settings.h"

namespace qvn {

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

uint32_t ShortcutNormalize(uint32_t stored) { return ShortcutEncode(ShortcutDecode(stored)); }

}  // namespace qvn
