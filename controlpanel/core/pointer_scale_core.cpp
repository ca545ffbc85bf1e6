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

}  // namespace qvn
