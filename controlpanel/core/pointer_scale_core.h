// The Pointer Speed page's rules: how a system pointer speed (1 to 20)
// sits on a trackbar of positions 0 to 10 and back and which toggle row is
// in force. Pure C++.
#pragma once
#include <cstdint>

#include "pointer_speed_settings.h"

namespace qvn {

constexpr int kTrackbarPositionMax = 10;
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

}  // namespace qvn
