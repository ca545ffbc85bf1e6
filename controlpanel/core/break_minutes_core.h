// The Break page's minutes boxes: what they accept before anything of the
// page is stored. Pure C++ (no windows.h).
#pragma once

namespace qvn {

constexpr int kBreakMinutesMin = 1;
constexpr int kBreakMinutesMax = 999;

// True for decimal digits only (no sign, no blank) whose value is 1 to
// 999, with that value in *minutes; false for an empty box, 0, text that
// is no number and anything larger.
bool BreakMinutesParse(const wchar_t* text, int* minutes);

}  // namespace qvn
