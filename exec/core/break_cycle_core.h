// The break/resume reminder cycle as decisions: after each event of the
// break thread, which reminder is shown or played and which timer runs
// next. Also the rule that turns a stored wave-file name into a path.
#pragma once
#include <cstddef>
#include <cstdint>

// Settings the cycle reads, as stored (read afresh for every event).
struct QMEBreakSettings {
  int32_t checkBreak;     // CheckBreakReminder
  int32_t breakMinutes;   // EditBreakTime
  int32_t breakVisual;    // RadioBreakVisualAlert
  int32_t breakAudio;     // RadioBreakAudioAlert
  int32_t checkResume;    // CheckResumeReminder
  int32_t resumeMinutes;  // EditResumeTime
  int32_t resumeVisual;   // RadioResumeVisualAlert
  int32_t resumeAudio;    // RadioResumeAudioAlert
};

enum class QMEBreakTimer { None, Break, Resume };

struct QMEBreakNext {
  QMEBreakTimer timer;  // the one timer to set after the event (the other stays killed)
  uint32_t intervalMs;  // its interval; 0 when timer is None
};

// Longest interval a thread timer takes (USER_TIMER_MAXIMUM, about 24.8 days).
constexpr uint32_t kQMEBreakTimerMaxMs = 0x7FFFFFFFu;

// Minutes as stored to a timer interval. 0 gives 0 (fires at once); a
// negative value is no valid period (false: no timer is set); a value past
// the timer's longest interval is held there instead of wrapping around.
bool QMEBreakMinutesToMs(int32_t minutes, uint32_t* ms);

// Restart (start-up, Break page applied, return from a lock or from sleep):
// both timers are killed, then a break period when the break reminder is
// on, else nothing. While paused (the session locked, the machine asleep)
// no timer runs: nobody is there to take a break or be told to, and the
// time away is a break of its own. The return restarts a full period.
QMEBreakNext QMEBreakOnRestart(const QMEBreakSettings& s, bool paused = false);

// Break timer fired: play the break sound when breakAudio, show the break
// box when breakVisual (the cycle waits until it is closed); then the
// resume period when the resume reminder is on, else the next break period
// (which again needs the break reminder on).
struct QMEBreakReminder {
  bool playSound;
  bool showBox;
  QMEBreakNext next;  // decided after the box was closed
};
QMEBreakReminder QMEBreakOnBreakTimer(const QMEBreakSettings& s);

// Resume timer fired: resume sound and box as chosen, then a break period
// whatever the break reminder switch says (it was on when this resume
// period began).
QMEBreakReminder QMEBreakOnResumeTimer(const QMEBreakSettings& s);

// Path of a stored sound: a name whose second character is ':' is a full
// path and used as stored; anything else is a file in "<windir>\Media\".
// Writes a terminated path to out[room] and returns true; returns false
// (out left empty) for an empty name or when the path does not fit.
bool QMEBreakWavePath(const wchar_t* stored, const wchar_t* windowsDir, wchar_t* out, size_t room);
