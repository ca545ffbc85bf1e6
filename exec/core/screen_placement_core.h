// Where the executive's small windows appear: centred on the monitor under
// the pointer, whatever its place in the virtual screen (a monitor left of
// or above the primary has negative coordinates).
#pragma once
#include <cstdint>

namespace qvn {

struct ScreenRect {
  int32_t left = 0, top = 0, right = 0, bottom = 0;
};
struct ScreenPoint {
  int32_t x = 0, y = 0;
};

// The top-left corner that puts the point (dx, dy) of a window on the
// monitor's centre.
inline ScreenPoint CentredOnMonitor(const ScreenRect& monitor, int32_t dx, int32_t dy) {
  return {monitor.left + (monitor.right - monitor.left) / 2 - dx, monitor.top + (monitor.bottom - monitor.top) / 2 - dy};
}

}  // namespace qvn
