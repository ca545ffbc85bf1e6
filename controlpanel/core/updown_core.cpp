#include "updown_core.h"

#include <cmath>

#include "settings_table.h"

namespace qvn {

namespace {

// Copies text only when all of it fits room; otherwise out is untouched.
bool CopyWhole(wchar_t* out, size_t room, const wchar_t* text) {
  size_t n = 0;
  while (text[n]) ++n;
  if (n + 1 > room) return false;
  return QvnCopyText(out, room, text);
}

// "%3.1f", with a second zero for the whole numbers 1 to 4.
bool DelayTextWithRule(double value, wchar_t* out, size_t room) {
  wchar_t text[kDelayTextRoom];
  if (!QvnSettingFormatDecimal(value, text, kDelayTextRoom)) return false;
  // Judged on the value as shown: a stored 1.511 steps to 2.011, shown "2.00".
  double shown = QvnSettingTextToDouble(text);
  if (std::floor(shown) == shown && shown >= 1.0 && shown <= 4.0) {
    size_t n = 0;
    while (text[n]) ++n;
    if (n + 1 >= kDelayTextRoom) return false;
    text[n] = L'0';
    text[n + 1] = 0;
  }
  return CopyWhole(out, room, text);
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
  long long old = text && text[0] ? static_cast<long long>(QvnSettingTextToInt(text)) : 0;
  long long next = text && text[0] ? old - delta : delta;
  if (next < kWheelLinesMin) next = kWheelLinesMin;
  // A count beyond the arrows' range (set in Windows' own settings) comes
  // back into it with the first step; at the top nothing changes.
  if (next > kWheelLinesMax) {
    if (old <= kWheelLinesMax) return false;
    next = kWheelLinesMax;
  }
  wchar_t digits[4];
  return QvnSettingFormatInt(static_cast<int32_t>(next), digits, 4) && CopyWhole(out, room, digits);
}

void DelayTextFormat(double value, wchar_t* out, size_t room) {
  if (!out || room == 0) return;
  out[0] = 0;
  wchar_t text[kDelayTextRoom];
  if (std::isfinite(value) && QvnSettingFormatDecimal(value, text, kDelayTextRoom)) CopyWhole(out, room, text);
}

bool WheelLinesMeanOneScreen(long long systemLines) {
  return systemLines == -1 || systemLines == 0xFFFFFFFFll || systemLines == 0x7FFFFFFFll;
}

bool WheelLinesParse(const wchar_t* text, unsigned* lines) {
  if (!text || !text[0]) return false;
  unsigned long long value = 0;
  for (const wchar_t* p = text; *p; ++p) {
    if (*p < L'0' || *p > L'9') return false;
    value = value * 10 + static_cast<unsigned>(*p - L'0');
    if (value > 0xFFFFFFFFull) return false;
  }
  if (WheelLinesMeanOneScreen(static_cast<long long>(value))) return false;
  if (lines) *lines = static_cast<unsigned>(value);
  return true;
}

}  // namespace qvn
