#include "updown_core.h"

#include <cmath>

#include "settings_table.h"

namespace qvn {

namespace {

// "%3.1f", with a second zero for the whole numbers 1 to 4.
bool DelayTextWithRule(double value, wchar_t* out, size_t room) {
  wchar_t text[kDelayTextRoom];
  if (!QvnSettingFormatDecimal(value, text, kDelayTextRoom)) return false;
  double whole = std::floor(value);
  if (whole == value && value >= 1.0 && value <= 4.0) {
    size_t n = 0;
    while (text[n]) ++n;
    if (n + 1 >= kDelayTextRoom) return false;
    text[n] = L'0';
    text[n + 1] = 0;
  }
  return QvnCopyText(out, room, text);
}

}  // namespace

bool UpDownDelayStep(const wchar_t* text, int delta, wchar_t* out, size_t room) {
  if (!out || room == 0) return false;
  double old = QvnSettingTextToDouble(text);
  if (!std::isfinite(old)) old = 0.0;
  bool up = delta < 0;
  double next;
  if (up) {
    next = old < kDelayMin ? kDelayMin : old + kDelayStep;
    if (next > kDelayMax) return false;
  } else {
    next = old > kDelayMax ? kDelayMax : old - kDelayStep;
    if (next < kDelayMin) return false;
  }
  return DelayTextWithRule(next, out, room);
}

bool UpDownLinesStep(const wchar_t* text, int delta, wchar_t* out, size_t room) {
  if (!out || room == 0) return false;
  long long next;
  if (text && text[0]) {
    next = static_cast<long long>(QvnSettingTextToInt(text)) - delta;
  } else {
    next = delta;
  }
  if (next < kWheelLinesMin) next = kWheelLinesMin;
  if (next > kWheelLinesMax) return false;
  return QvnSettingFormatInt(static_cast<int32_t>(next), out, room);
}

void DelayTextFormat(double value, wchar_t* out, size_t room) {
  if (!out || room == 0) return;
  out[0] = 0;
  wchar_t text[kDelayTextRoom];
  if (std::isfinite(value) && QvnSettingFormatDecimal(value, text, kDelayTextRoom)) QvnCopyText(out, room, text);
}

bool WheelLinesMeanOneScreen(long long systemLines) {
  return systemLines < 0 || systemLines > kWheelLinesMax;
}

}  // namespace qvn
