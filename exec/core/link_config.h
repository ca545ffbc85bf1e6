// The in-memory link configuration (g_linkConfData in the log): the button
// mapping of the program under the cursor and the two bytes the driver is
// given. Filled from the registry; read by the dispatcher and the driver link.
#pragma once
#include <cstdint>

struct QMELinkButton {
  uint8_t primary;    // function identifier from MButtonN
  uint8_t secondary;  // function identifier from MButtonNSecondaryFunc
};

struct QMELinkConfData {
  uint8_t buttonCount;        // always 8 once loaded
  QMELinkButton buttons[9];   // entry N for button N (1..8); entry 0 unused
  uint8_t acceleratedScrolling;
  uint8_t reserved;           // always 0
};

// Identifier of button n, or 0 (no function) for a number outside 1..8.
inline uint8_t QMELinkPrimary(const QMELinkConfData& c, int n) {
  return (n >= 1 && n <= 8) ? c.buttons[n].primary : 0;
}
inline uint8_t QMELinkSecondary(const QMELinkConfData& c, int n) {
  return (n >= 1 && n <= 8) ? c.buttons[n].secondary : 0;
}

// The 2-byte driver configuration: accelerated scrolling, reserved.
inline void QMESettingsToBufferForDriverBytes(const QMELinkConfData& c, uint8_t out[2]) {
  out[0] = c.acceleratedScrolling;
  out[1] = c.reserved;
}
