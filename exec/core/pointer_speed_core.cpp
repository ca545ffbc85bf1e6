#include "pointer_speed_core.h"

namespace {
bool ValidPreset(int n) { return n >= 1 && n <= 3; }
}  // namespace

QMEToggleStep QMEPointerSpeedChooseNext(int32_t current, const QMEPointerSpeedPresets& presets) {
  if (current == 0) return {QMEToggleChoice::Off, 0};
  int candidate = (current >= 1 && current < 3) ? current + 1 : 1;
  for (int tries = 0; tries < 3; ++tries) {
    if (presets.enabled[candidate - 1] != 0) return {QMEToggleChoice::Apply, candidate};
    candidate = candidate == 3 ? 1 : candidate + 1;
  }
  return {QMEToggleChoice::NoPreset, 0};
}

qvn::MouseAccel QMEPointerSpeedAccelFor(int preset, const QMEPointerSpeedPresets& presets) {
  return qvn::MouseAccelFor(ValidPreset(preset) && presets.enhance[preset - 1] != 0);
}

int32_t QMEPointerSpeedFor(int preset, const QMEPointerSpeedPresets& presets) {
  if (!ValidPreset(preset)) return qvn::kPointerSpeedMin;
  int32_t s = presets.speed[preset - 1];
  if (s < qvn::kPointerSpeedMin) return qvn::kPointerSpeedMin;
  if (s > qvn::kPointerSpeedMax) return qvn::kPointerSpeedMax;
  return s;
}

int QMEPointerSpeedIconId(int32_t preset) {
  return kQMEIconSpeedBase + (ValidPreset(preset) ? preset : 0);
}

bool QMEShortcutKeyEvent(uint32_t shortcut, uint64_t vk, uint32_t flags, const QMEShortcutModifiers& held) {
  uint32_t sc = qvn::ShortcutNormalize(shortcut);
  if (sc == 0 || (flags & kQMEKeyUpBit)) return false;
  if (vk != (sc & qvn::kShortcutKeyMask)) return false;
  if ((sc & qvn::kShortcutCtrl) && !held.ctrl) return false;
  if ((sc & qvn::kShortcutShift) && !held.shift) return false;
  if ((sc & qvn::kShortcutAlt) && !(flags & kQMEKeyAltBit)) return false;
  return true;
}
