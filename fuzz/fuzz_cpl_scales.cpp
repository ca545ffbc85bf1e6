// The control panel's up-down and trackbar arithmetic: delay and line-count
// steps from any edit-box text, the delay text format, the pointer speed on
// its trackbar and back, the toggle rows and the stored keyboard shortcut.
#include <cmath>
#include <cstring>
#include <cwchar>

#include "fuzz_input.h"
#include "pointer_scale_core.h"
#include "settings_table.h"
#include "updown_core.h"

namespace {

// A step's output stays inside the room the caller gave and is terminated.
void CheckWithinRoom(const wchar_t* out, size_t room) {
  FUZZ_CHECK(wcsnlen(out, room) < room);
  FUZZ_CHECK(out[room] == L'#');
}

// The two-decimal rule of the delay box: whole numbers 1 to 4 read "n.00",
// every other delay has one decimal.
void CheckDelayText(const wchar_t* out) {
  double v = QvnSettingTextToDouble(out);
  const wchar_t* dot = wcschr(out, L'.');
  FUZZ_CHECK(dot != nullptr);
  size_t decimals = wcslen(dot + 1);
  bool whole = std::floor(v) == v && v >= 1.0 && v <= 4.0;
  FUZZ_CHECK(decimals == (whole ? 2u : 1u));
}

void FuzzDelay(const std::wstring& text, int delta, size_t room) {
  wchar_t out[32];
  for (auto& c : out) c = L'#';
  bool ok = qvn::UpDownDelayStep(text.c_str(), delta, out, room);
  if (!ok) {
    FUZZ_CHECK(out[0] == L'#');  // refused: untouched
    return;
  }
  CheckWithinRoom(out, room);
  double old = QvnSettingTextToDouble(text.c_str());
  if (!std::isfinite(old)) old = 0.0;
  double v = QvnSettingTextToDouble(out);
  FUZZ_CHECK(v >= qvn::kDelayMin && v <= qvn::kDelayMax);
  // Each arrow moves the way it points (the one-decimal text may round).
  if (delta < 0) FUZZ_CHECK(v > old - 0.051);
  else FUZZ_CHECK(v < old + 0.051);
  if (room >= qvn::kDelayTextRoom) CheckDelayText(out);

  // From any accepted value a run of one arrow reaches its bound within
  // eight steps and then stays there.
  if (room < qvn::kDelayTextRoom) return;
  wchar_t cur[qvn::kDelayTextRoom];
  wcscpy(cur, out);
  for (int up = 0; up < 2; ++up) {
    wchar_t walk[qvn::kDelayTextRoom];
    wcscpy(walk, cur);
    int steps = 0;
    wchar_t next[qvn::kDelayTextRoom];
    while (qvn::UpDownDelayStep(walk, up ? -1 : 1, next, qvn::kDelayTextRoom)) {
      wcscpy(walk, next);
      FUZZ_CHECK(++steps <= 8);
    }
    double end = QvnSettingTextToDouble(walk);
    FUZZ_CHECK(end >= qvn::kDelayMin && end <= qvn::kDelayMax);
    FUZZ_CHECK(up ? end > qvn::kDelayMax - qvn::kDelayStep : end < qvn::kDelayMin + qvn::kDelayStep);
  }
}

void FuzzLines(const std::wstring& text, int delta, size_t room) {
  wchar_t out[32];
  for (auto& c : out) c = L'#';
  if (!qvn::UpDownLinesStep(text.c_str(), delta, out, room)) return;
  CheckWithinRoom(out, room);
  int32_t v = QvnSettingTextToInt(out);
  FUZZ_CHECK(v >= qvn::kWheelLinesMin && v <= qvn::kWheelLinesMax);
}

void FuzzDelayFormat(double value, size_t room) {
  wchar_t out[32];
  for (auto& c : out) c = L'#';
  qvn::DelayTextFormat(value, out, room);
  CheckWithinRoom(out, room);
  if (out[0] && std::isfinite(value) && std::fabs(value) < 1e6)
    FUZZ_CHECK(std::fabs(QvnSettingTextToDouble(out) - value) <= 0.0501);
}

void FuzzTrackbar(int32_t a, int32_t b) {
  int pos = qvn::SpeedToTrackbarPosition(a);
  FUZZ_CHECK(pos >= 0 && pos <= qvn::kTrackbarPositionMax);
  int speed = qvn::TrackbarPositionToSpeed(b);
  FUZZ_CHECK(speed >= qvn::kPointerSpeedMin && speed <= qvn::kPointerSpeedMax);
  FUZZ_CHECK(speed == 1 || speed % 2 == 0);
  // A position stored and shown again lands where the user left it.
  int p = b < 0 ? 0 : (b > qvn::kTrackbarPositionMax ? qvn::kTrackbarPositionMax : b);
  FUZZ_CHECK(qvn::SpeedToTrackbarPosition(qvn::TrackbarPositionToSpeed(p)) == p);
}

void FuzzToggleAndShortcut(uint32_t bits) {
  bool checked[qvn::kToggleRowCount] = {(bits & 1) != 0, (bits & 2) != 0, (bits & 4) != 0};
  int row = qvn::ToggleCurrentRow(checked);
  FUZZ_CHECK(row >= 0 && row <= qvn::kToggleRowCount);
  if (row) FUZZ_CHECK(checked[row - 1]);
  int n = qvn::CurrentSpeedRowNormalize(static_cast<int32_t>(bits));
  FUZZ_CHECK(n >= 0 && n <= qvn::kToggleRowCount);

  qvn::Shortcut s = qvn::ShortcutDecode(bits);
  uint32_t stored = qvn::ShortcutEncode(s);
  const uint32_t kept = qvn::kShortcutKeyMask | qvn::kShortcutCtrl | qvn::kShortcutAlt | qvn::kShortcutShift;
  FUZZ_CHECK(stored == ((bits & qvn::kShortcutKeyMask) ? (bits & kept) : 0u));
  qvn::Shortcut back = qvn::ShortcutDecode(stored);
  if (s.key) FUZZ_CHECK(back.key == s.key && back.ctrl == s.ctrl && back.alt == s.alt && back.shift == s.shift);
  else FUZZ_CHECK(stored == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Header: room (1 byte), delta (4), two ints (8); the rest is the text.
  if (size < 13) return 0;
  size_t room = 1 + data[0] % 24;
  int32_t delta, a, b;
  std::memcpy(&delta, data + 1, 4);
  std::memcpy(&a, data + 5, 4);
  std::memcpy(&b, data + 9, 4);
  std::wstring text = (data[0] & 0x80) ? fuzz::WideText(data + 13, size - 13) : fuzz::ByteText(data + 13, size - 13);

  FuzzDelay(text, delta, room);
  FuzzLines(text, delta, room);
  FuzzDelayFormat(QvnSettingTextToDouble(text.c_str()), room);
  FuzzTrackbar(a, b);
  FuzzToggleAndShortcut(static_cast<uint32_t>(a));
  return 0;
}
