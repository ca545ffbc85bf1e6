#include "click_state_machine_core.h"

#include "core_text.h"
#include "log_levels.h"

namespace qvn {

using qme::AppendInt;

namespace {

using A = FstmAction;

// Entry (state, event): event, success state, failure state, action.
#define T(e, s, f, a) {e, s, f, A::a}
const FstmTransition kState0[kFstmEventCount] = {
    T(0, 0, 0, RestartAutoClick), T(1, 0, 0, PerformAutoClick), T(2, 0, 0, None),
    T(3, 1, 1, PressAndArmLock),  T(4, 0, 0, ReleaseAndArmAutoClick), T(5, 0, 0, RestartAutoClick),
    T(6, 0, 0, RestartAutoClick), T(7, 3, 3, ZoomStart),        T(8, 4, 4, DragscrollStart),
};
const FstmTransition kState1[kFstmEventCount] = {
    T(0, 1, 1, None),             T(1, 0, 1, None),             T(2, 2, 2, None),
    T(3, 1, 1, PressAndArmLock),  T(4, 0, 0, ReleaseAndArmAutoClick), T(5, 0, 0, RestartAutoClick),
    T(6, 0, 0, RestartAutoClick), T(7, 1, 1, None),             T(8, 1, 1, None),
};
const FstmTransition kState2[kFstmEventCount] = {
    T(0, 2, 2, None),             T(1, 2, 2, None),             T(2, 2, 2, None),
    T(3, 0, 0, PressAndArmLock),  T(4, 2, 2, None),             T(5, 0, 0, ReleaseLock),
    T(6, 0, 0, RestartAutoClick), T(7, 2, 2, None),             T(8, 2, 2, None),
};
const FstmTransition kState3[kFstmEventCount] = {
    T(0, 3, 3, ZoomStep),         T(1, 3, 3, None),             T(2, 3, 3, None),
    T(3, 3, 3, None),             T(4, 0, 0, None),             T(5, 3, 3, None),
    T(6, 0, 0, None),             T(7, 3, 3, None),             T(8, 3, 3, None),
};
const FstmTransition kState4[kFstmEventCount] = {
    T(0, 4, 4, DragscrollMouseMove), T(1, 4, 4, None),          T(2, 4, 4, None),
    T(3, 4, 4, None),             T(4, 0, 0, DragscrollEnd),    T(5, 4, 4, None),
    T(6, 4, 4, None),             T(7, 4, 4, None),             T(8, 4, 4, None),
};
#undef T

const FstmStateDescriptor kStates[kFstmStateCount] = {
    {L"QMS_STA_CLICKLOCK_ENABLED_AND_AUTOCLICK_ENABLED", kState0, kFstmEventCount},
    {L"QMS_STA_CLICKLOCK_WAITING_AND_AUTOCLICK_ENABLED,L", kState1, kFstmEventCount},
    {L"QMS_STA_CLICKLOCK_LOCKED_AND_AUTOCLICK_ENABLED", kState2, kFstmEventCount},
    {L"QMS_STA_ZOOMING", kState3, kFstmEventCount},
    {L"QMS_STA_DRAGSCROLL", kState4, kFstmEventCount},
};

// Milliseconds from a setting value: negative, NaN and absurd values are
// held to 0 .. 0x7FFFFFFF (the timer's own maximum) instead of overflowing.
uint32_t ClampMs(double v) {
  if (!(v > 0)) return 0;
  if (v >= 2147483647.0) return 0x7FFFFFFF;
  return static_cast<uint32_t>(v);
}

}  // namespace

const FstmStateDescriptor* FstmStates() { return kStates; }

uint32_t FstmMachine::AutoClickPeriodMs(double seconds) { return ClampMs(seconds); }
uint32_t FstmMachine::ClickLockPeriodMs(double seconds) { return ClampMs(seconds * 1000.0); }
uint32_t FstmMachine::AutoClickIdleMs(double seconds) { return ClampMs(seconds * 1000.0); }

uint8_t FstmMachine::Event(int64_t e, int64_t p) {
  if (e < 0 || e >= kFstmEventCount) {
    if (port_.LogEnabled(kExecLogError)) {
      std::wstring line = L"FSTM Event ";
      AppendInt(line, e);
      line += L" unknown, ignored";
      port_.Log(kExecLogError, line);
    }
    return 0;
  }
  const int32_t event = static_cast<int32_t>(e);
  const int32_t from = state_;
  const FstmTransition& entry = kStates[from].table[event];
  uint8_t result = 0;
  int32_t to = entry.stateSuccess;
  if (entry.action != A::None) {
    result = RunAction(entry.action, p) ? 1 : 0;
    to = result ? entry.stateSuccess : entry.stateFailure;
  }
  state_ = to;
  LogTransition(event, from, to);
  previousEvent_ = event;
  return result;
}

void FstmMachine::LogTransition(int32_t e, int32_t from, int32_t to) {
  if (e == previousEvent_ && from == to) {
    ++repeatCount_;
    return;
  }
  const bool enabled = port_.LogEnabled(kExecLogClickMachine);
  if (repeatCount_ != 0) {
    if (enabled) {
      std::wstring line = L"FSTM Event ";
      AppendInt(line, previousEvent_);
      line += L" x ";
      AppendInt(line, repeatCount_);
      line += L" ";
      line += kStates[from].name;
      line += L" (";
      AppendInt(line, from);
      line += L")";
      port_.Log(kExecLogClickMachine, line);
    }
    repeatCount_ = 0;
  }
  if (enabled) {
    std::wstring line = L"FSTM Event ";
    AppendInt(line, e);
    line += L".\n       From ";
    line += kStates[from].name;
    line += L" (";
    AppendInt(line, from);
    line += L") >>>> to ";
    line += kStates[to].name;
    line += L" (";
    AppendInt(line, to);
    line += L")";
    port_.Log(kExecLogClickMachine, line);
  }
}

bool FstmMachine::RunAction(FstmAction a, int64_t) {
  switch (a) {
    case A::RestartAutoClick: return RestartAutoClick();
    case A::PerformAutoClick: return PerformAutoClick();
    case A::PressAndArmLock: return PressAndArmLock();
    case A::ReleaseAndArmAutoClick: return ReleaseAndArmAutoClick();
    case A::ReleaseLock: return ReleaseLock();
    case A::ZoomStart: return ZoomStart();
    case A::ZoomStep: return ZoomStep();
    case A::DragscrollStart: port_.DragscrollStart(); return true;
    case A::DragscrollMouseMove: port_.DragscrollMouseMove(); return true;
    case A::DragscrollEnd: port_.DragscrollEnd(); return true;
    case A::None: break;
  }
  return false;
}

void FstmMachine::TimerStop(uintptr_t& timer) {
  if (timer != 0) {
    port_.TimerKill(timer);
    timer = 0;
  }
}

void FstmMachine::StopAutoClickTimer() { TimerStop(autoClickTimer_); }
void FstmMachine::StopClickLockTimer() { TimerStop(clickLockTimer_); }

bool FstmMachine::TimerArm(FstmTimer which) {
  const bool autoClick = which == FstmTimer::AutoClick;
  uintptr_t& timer = autoClick ? autoClickTimer_ : clickLockTimer_;
  TimerStop(timer);
  if (!(autoClick ? port_.AutoClickEnabled() : port_.ClickLockEnabled())) return true;
  uint32_t period = autoClick ? AutoClickPeriodMs(port_.AutoClickTimeSeconds())
                              : ClickLockPeriodMs(port_.ClickLockTimeSeconds());
  timer = port_.TimerStart(which, period);
  if (timer == 0) {
    if (port_.LogEnabled(kExecLogError)) {
      std::wstring line = autoClick ? L"InternalStartAutoClickTimer  SetTimer failed! "
                                    : L"InternalStartClickLockTimer  SetTimer failed! ";
      port_.Log(kExecLogError, AppendInt(line, port_.LastErrorCode()));
    }
    return false;
  }
  return true;
}

bool FstmMachine::TimerArmAlone(FstmTimer which) {
  StopAutoClickTimer();
  StopClickLockTimer();
  bool ok = TimerArm(which);
  if (!ok && port_.LogEnabled(kExecLogError))
    port_.Log(kExecLogError, which == FstmTimer::AutoClick ? L"InternalStartAutoClickTimer failed!"
                                                          : L"InternalStartClickLockTimer failed!");
  return ok;
}

bool FstmMachine::RestartAutoClick() { return TimerArmAlone(FstmTimer::AutoClick); }

bool FstmMachine::PressAndArmLock() {
  bool ok = TimerArmAlone(FstmTimer::ClickLock);
  port_.LeftButton(true);
  return ok;
}

bool FstmMachine::ReleaseAndArmAutoClick() {
  port_.LeftButton(false);
  return TimerArmAlone(FstmTimer::AutoClick);
}

bool FstmMachine::PerformAutoClick() {
  StopAutoClickTimer();
  if (port_.PerformSingleClickSetting() != 1) {
    port_.LeftButton(true);
    port_.LeftButton(false);
  }
  port_.LeftButton(true);
  port_.LeftButton(false);
  return true;
}

bool FstmMachine::ReleaseLock() {
  StopClickLockTimer();
  port_.LeftButton(false);
  return true;
}

bool FstmMachine::ZoomStart() {
  FstmPoint p;
  port_.CursorPos(&p.x, &p.y);
  zoomStart_ = p;
  zoomCurrent_ = p;
  zoomLast_ = FstmPoint{};
  zoomStepped_ = false;
  return true;
}

bool FstmMachine::ZoomStep() {
  port_.CursorPos(&zoomCurrent_.x, &zoomCurrent_.y);
  // "No step yet" is a state of its own: a step taken at the screen's top
  // edge leaves a last-step y of 0 like any other.
  const int32_t cur = zoomCurrent_.y, last = zoomLast_.y;
  int16_t notch = 0;
  if (cur < zoomStart_.y) {
    if (!zoomStepped_ || last > cur + 10) notch = 120;
    else if (last < cur - 10) notch = -120;
  } else if (cur > zoomStart_.y) {
    if (!zoomStepped_ || last < cur - 10) notch = -120;
    else if (last > cur + 10) notch = 120;
  }
  if (notch != 0) {
    port_.Wheel(notch);
    zoomLast_ = zoomCurrent_;
    zoomStepped_ = true;
  }
  return true;
}

void FstmMachine::AutoClickTimerTick(uint32_t tickNow, uint32_t lastInputTick) {
  if (autoClickTimer_ == 0) return;
  // Differences of the wrapping 32-bit tick counts; negative: input arrived
  // after the tick count was read.
  const int32_t since = static_cast<int32_t>(tickNow - lastInputTick);
  const uint32_t idle = since > 0 ? static_cast<uint32_t>(since) : 0;
  if (idle >= AutoClickIdleMs(port_.AutoClickTimeSeconds())) {
    Event(QMS_EVT_AUTOCLICK_DUE, 0);
    StopAutoClickTimer();
  }
}

void FstmMachine::Reset() {
  StopAutoClickTimer();
  StopClickLockTimer();
  if (state_ == QMS_STA_DRAGSCROLL) port_.DragscrollEnd();
  if (state_ != QMS_STA_CLICKLOCK_ENABLED_AND_AUTOCLICK_ENABLED && port_.LogEnabled(kExecLogClickMachine)) {
    std::wstring line = L"FSTM reset from ";
    line += kStates[state_].name;
    line += L" (";
    AppendInt(line, state_);
    line += L")";
    port_.Log(kExecLogClickMachine, line);
  }
  state_ = QMS_STA_CLICKLOCK_ENABLED_AND_AUTOCLICK_ENABLED;
  previousEvent_ = -1;
  repeatCount_ = 0;
}

void FstmMachine::ClickLockTimerTick() {
  StopClickLockTimer();
  Event(QMS_EVT_CLICKLOCK_DUE, 0);
}

}  // namespace qvn
