#include "break_cycle_core.h"

namespace {

QMEBreakNext Period(QMEBreakTimer which, int32_t minutes) {
  uint32_t ms = 0;
  if (!QMEBreakMinutesToMs(minutes, &ms)) return {QMEBreakTimer::None, 0};
  return {which, ms};
}

size_t Length(const wchar_t* s) {
  size_t n = 0;
  while (s[n]) ++n;
  return n;
}

// Appends src at out[*len], keeping room for the terminator.
bool Append(wchar_t* out, size_t room, size_t* len, const wchar_t* src) {
  size_t n = Length(src);
  if (*len + n + 1 > room) return false;
  for (size_t i = 0; i < n; ++i) out[*len + i] = src[i];
  *len += n;
  out[*len] = 0;
  return true;
}

}  // namespace

bool QMEBreakMinutesToMs(int32_t minutes, uint32_t* ms) {
  if (minutes < 0) return false;
  uint64_t v = static_cast<uint64_t>(minutes) * 60000u;
  *ms = v > kQMEBreakTimerMaxMs ? kQMEBreakTimerMaxMs : static_cast<uint32_t>(v);
  return true;
}

QMEBreakNext QMEBreakOnRestart(const QMEBreakSettings& s, bool paused) {
  if (paused || s.checkBreak == 0) return {QMEBreakTimer::None, 0};
  return Period(QMEBreakTimer::Break, s.breakMinutes);
}

QMEBreakReminder QMEBreakOnBreakTimer(const QMEBreakSettings& s) {
  QMEBreakReminder r{s.breakAudio != 0, s.breakVisual != 0, {QMEBreakTimer::None, 0}};
  r.next = s.checkResume != 0 ? Period(QMEBreakTimer::Resume, s.resumeMinutes) : QMEBreakOnRestart(s);
  return r;
}

QMEBreakReminder QMEBreakOnResumeTimer(const QMEBreakSettings& s) {
  return {s.resumeAudio != 0, s.resumeVisual != 0, Period(QMEBreakTimer::Break, s.breakMinutes)};
}

bool QMEBreakWavePath(const wchar_t* stored, const wchar_t* windowsDir, wchar_t* out, size_t room) {
  if (room == 0) return false;
  out[0] = 0;
  if (!stored || !stored[0]) return false;
  size_t len = 0;
  bool ok;
  if (stored[1] == L':') {
    ok = Append(out, room, &len, stored);
  } else {
    ok = windowsDir && Append(out, room, &len, windowsDir) && Append(out, room, &len, L"\\Media\\") &&
         Append(out, room, &len, stored);
  }
  if (!ok) out[0] = 0;
  return ok;
}
