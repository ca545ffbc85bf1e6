// The click-lock, auto-click and zoom state machine ("FSTM" in the log):
// five states, a fixed table of 9 transitions per state, the actions, and
// the logging rule that folds a repeated event into one summary line.
// Timers, cursor, injections, settings and drag-scroll are reached through
// FstmPort; the Win32 shell (fstm.cpp) runs it on the main thread.
#pragma once
#include <cstdint>
#include <string>

namespace qvn {

enum FstmState : int32_t {
  QMS_STA_CLICKLOCK_ENABLED_AND_AUTOCLICK_ENABLED = 0,
  QMS_STA_CLICKLOCK_WAITING_AND_AUTOCLICK_ENABLED = 1,
  QMS_STA_CLICKLOCK_LOCKED_AND_AUTOCLICK_ENABLED = 2,
  QMS_STA_ZOOMING = 3,
  QMS_STA_DRAGSCROLL = 4,
};
constexpr int kFstmStateCount = 5;

enum FstmEvent : int32_t {
  QMS_EVT_POINTER_MOVED = 0,
  QMS_EVT_AUTOCLICK_DUE = 1,
  QMS_EVT_CLICKLOCK_DUE = 2,
  QMS_EVT_LEFT_PRESSED = 3,
  QMS_EVT_RELEASED = 4,
  QMS_EVT_CANCEL = 5,
  QMS_EVT_KEY_PRESSED = 6,
  QMS_EVT_ZOOM_PRESSED = 7,
  QMS_EVT_DRAGSCROLL_START = 8,
};
constexpr int kFstmEventCount = 9;

enum class FstmAction : uint8_t {
  None,
  RestartAutoClick,
  PerformAutoClick,
  PressAndArmLock,
  ReleaseAndArmAutoClick,
  ReleaseLock,
  ZoomStart,
  ZoomStep,
  DragscrollStart,
  DragscrollMouseMove,
  DragscrollEnd,
};

struct FstmTransition {
  int32_t event;         // equal to its index in the state's table
  int32_t stateSuccess;  // next state when the action reports success (or there is none)
  int32_t stateFailure;  // next state when it reports failure
  FstmAction action;
};

struct FstmStateDescriptor {
  const wchar_t* name;  // as logged
  const FstmTransition* table;
  int32_t eventCount;
};

// The five descriptors in state order.
const FstmStateDescriptor* FstmStates();

enum class FstmTimer : uint8_t { AutoClick, ClickLock };

class FstmPort {
 public:
  virtual ~FstmPort() = default;
  virtual bool LogEnabled(uint32_t mask) = 0;
  virtual void Log(uint32_t mask, const std::wstring& line) = 0;
  // Starts a thread timer with the period; returns its identifier, 0 on
  // failure (the port logs nothing; the machine does).
  virtual uintptr_t TimerStart(FstmTimer which, uint32_t periodMs) = 0;
  virtual void TimerKill(uintptr_t id) = 0;
  virtual uint32_t LastErrorCode() = 0;
  virtual void LeftButton(bool down) = 0;
  virtual void Wheel(int16_t delta) = 0;
  virtual bool CursorPos(int32_t* x, int32_t* y) = 0;
  virtual bool AutoClickEnabled() = 0;
  virtual bool ClickLockEnabled() = 0;
  virtual int32_t PerformSingleClickSetting() = 0;  // RadioPerformSingleClick
  virtual double ClickLockTimeSeconds() = 0;        // QvnClickLockTime
  virtual double AutoClickTimeSeconds() = 0;        // QvnAutoClickTime
  virtual bool DragscrollStart() = 0;
  virtual bool DragscrollMouseMove() = 0;
  virtual bool DragscrollEnd() = 0;
};

struct FstmPoint {
  int32_t x = 0, y = 0;
};

class FstmMachine {
 public:
  explicit FstmMachine(FstmPort& port) : port_(port) {}

  // Performs event `e` with parameter `p`; returns the action's success
  // byte (0 without an action). An event number outside 0..8 is logged and
  // ignored.
  uint8_t Event(int64_t e, int64_t p);

  // Timer procedures. The auto-click poll takes the tick count and the
  // time of the last input (both 32-bit milliseconds); a last input later
  // than the tick count (it came between the two reads) is no idle time.
  void AutoClickTimerTick(uint32_t tickNow, uint32_t lastInputTick);
  void ClickLockTimerTick();

  // Back to the idle state with both timers stopped, as when the driver
  // link stops: an active drag-scroll is ended, nothing is injected (the
  // shell releases what is still held down).
  void Reset();

  int32_t State() const { return state_; }
  bool AutoClickTimerRunning() const { return autoClickTimer_ != 0; }
  bool ClickLockTimerRunning() const { return clickLockTimer_ != 0; }
  FstmPoint ZoomStartPoint() const { return zoomStart_; }
  FstmPoint ZoomLastStep() const { return zoomLast_; }

  // Timer periods from the decimal settings.
  static uint32_t AutoClickPeriodMs(double seconds);   // truncated, taken as milliseconds
  static uint32_t ClickLockPeriodMs(double seconds);   // seconds x 1000, truncated
  static uint32_t AutoClickIdleMs(double seconds);     // seconds x 1000, truncated

 private:
  bool RunAction(FstmAction a, int64_t p);
  void TimerStop(uintptr_t& timer);
  void StopAutoClickTimer();
  void StopClickLockTimer();
  // Starts the timer when its feature is on (true when off); a failed
  // SetTimer is logged and false.
  bool TimerArm(FstmTimer which);
  // Stops both timers, then starts `which` alone.
  bool TimerArmAlone(FstmTimer which);
  bool RestartAutoClick();
  bool PressAndArmLock();
  bool ReleaseAndArmAutoClick();
  bool PerformAutoClick();
  bool ReleaseLock();
  bool ZoomStart();
  bool ZoomStep();
  void LogTransition(int32_t e, int32_t from, int32_t to);

  FstmPort& port_;
  int32_t state_ = 0;
  int32_t previousEvent_ = -1;
  int32_t repeatCount_ = 0;
  uintptr_t autoClickTimer_ = 0;
  uintptr_t clickLockTimer_ = 0;
  FstmPoint zoomStart_, zoomCurrent_, zoomLast_;
  bool zoomStepped_ = false;  // a notch was emitted since the zoom began
};

}  // namespace qvn
