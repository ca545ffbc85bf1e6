#include "break_minutes_core.h"

namespace qvn {

bool BreakMinutesParse(const wchar_t* text, int* minutes) {
  if (!text || !text[0]) return false;
  int value = 0;
  for (const wchar_t* p = text; *p; ++p) {
    if (*p < L'0' || *p > L'9') return false;
    value = value * 10 + (*p - L'0');
    if (value > kBreakMinutesMax) return false;
  }
  if (value < kBreakMinutesMin) return false;
  if (minutes) *minutes = value;
  return true;
}

}  // namespace qvn
