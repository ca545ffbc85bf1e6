// The arithmetic of the Click and Wheel pages' up-down controls, which step
// the text of a read-only edit box: activation delays in half seconds and
// wheel line counts, and how the Wheel page reads and sets the system's
// wheel lines. Pure C++ (no windows.h).
#pragma once
#include <cstddef>

namespace qvn {

// Accepted delays: 0.5 to 4.0 seconds in steps of 0.5.
constexpr double kDelayMin = 0.5;
constexpr double kDelayMax = 4.0;
constexpr double kDelayStep = 0.5;
// Accepted wheel line counts.
constexpr int kWheelLinesMin = 1;
constexpr int kWheelLinesMax = 40;
// Room of the delay text ("%3.1f" of a delay, or "2.00").
constexpr size_t kDelayTextRoom = 10;

// The next delay text for an up-down notification with iDelta `delta`
// (negative: the up arrow, one step more; otherwise one step less). Text
// that is no number counts as 0. The whole numbers 1 to 4 show with two
// decimals ("2.00"), the others with one ("1.5"). A value already outside
// the accepted range moves to the nearest bound in the arrow's direction
// (so a stored "9.8" comes back down to "4.00" and "-3.0" up to "0.5"); at
// a bound nothing changes. False (out untouched) when nothing changes or
// the new text does not fit room.
bool UpDownDelayStep(const wchar_t* text, int delta, wchar_t* out, size_t room);

// The next line-count text: the text's integer value minus delta (delta
// itself when the text is empty), at least 1; a count above 40 (set in
// Windows' own settings, which allow 100) steps to 40 in either direction.
// False (out untouched) when a step would leave 1..40 upwards or the text
// does not fit room.
bool UpDownLinesStep(const wchar_t* text, int delta, wchar_t* out, size_t room);

// A delay as the pages show it ("%3.1f"); empty when it does not fit the
// page's 10-character box (a stored "1e9") or room, so nothing is cut
// silently.
void DelayTextFormat(double value, wchar_t* out, size_t room);

// The system's wheel scroll lines as the Wheel page shows them: one screen
// only for WHEEL_PAGESCROLL (0xFFFFFFFF, -1 as signed; read back as
// 0x7FFFFFFF under Wine); any other value is a count of lines, shown as it
// is, also beyond the arrows' 40.
bool WheelLinesMeanOneScreen(long long systemLines);

// The lines box as a count to set: decimal digits only, a value the system
// takes as lines (not one of the one-screen values). False otherwise, and
// then nothing is set.
bool WheelLinesParse(const wchar_t* text, unsigned* lines);

}  // namespace qvn
