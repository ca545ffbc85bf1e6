// Decisions of the main window that need no window: what a session, power
// or end-of-session change does to the device link and the break timers,
// the names of device-change events, the window title, and the retry rule
// of the session-notification registration.
#pragma once
#include <cstdint>

namespace qvn {

// The session flags of the main thread.
struct SessionFlags {
  bool consoleConnected = true;  // the physical mouse belongs to this session
  bool locked = false;
  bool asleep = false;           // between a suspend and the resume
};

// Restart: start the link if it does not run, else close and reopen the
// driver (its device may have been re-enumerated while the machine slept).
enum class DeviceLinkAction { None, Start, Stop, Restart };

// Session-change codes the executive reacts to.
enum : unsigned {
  kWtsConsoleConnect = 1,
  kWtsConsoleDisconnect = 2,
  kWtsRemoteConnect = 3,
  kWtsSessionLock = 7,
  kWtsSessionUnlock = 8,
};

// No session is attached to the console (WTSGetActiveConsoleSessionId
// during a switch).
constexpr uint32_t kNoConsoleSession = 0xFFFFFFFFu;

// The flags at start-up: an executive in a session that is not the
// console's (Remote Desktop) leaves the mouse to the console's executive.
// While no session is attached to the console the own one counts as it.
SessionFlags InitialSessionFlags(uint32_t ownSession, uint32_t consoleSession);

// The link runs only while the session has the console, is unlocked and
// the machine is awake; the break timers count while it is unlocked and awake.
bool LinkMayRun(const SessionFlags& flags);
bool BreakMayRun(const SessionFlags& flags);

// Applies one session-change code of the own session to the flags and says
// whether the device link starts, stops or stays as it is (other codes).
// A remote client connecting takes the console away, as a disconnect does.
DeviceLinkAction SessionChange(SessionFlags& flags, unsigned code);

// Power events (WM_POWERBROADCAST wParam) the executive reacts to.
enum : unsigned {
  kPbtSuspend = 0x4,          // PBT_APMSUSPEND
  kPbtResumeSuspend = 0x7,    // PBT_APMRESUMESUSPEND (resumed by the user)
  kPbtResumeAutomatic = 0x12, // PBT_APMRESUMEAUTOMATIC (every resume)
};

// Suspend stops the link; a resume starts it again where it may run, or
// restarts it when no suspend was seen (the link kept running through it).
DeviceLinkAction PowerChange(SessionFlags& flags, unsigned event);

// WM_ENDSESSION: only a session that really ends (wParam true) stops the
// link; a cancelled shutdown leaves it running.
DeviceLinkAction EndSession(bool ending);

// Start and stop requests of the device link while a stop may be waiting
// for the device thread to end. The main thread keeps serving messages
// during that wait, so a session change can ask for another stop or a start
// before the first stop has finished.
class LinkLifecycle {
 public:
  // True when the link may start now; false while a stop waits (the start
  // is then kept and made when that stop ends).
  bool StartRequested();
  // True when this call must stop the link and wait; false when a stop
  // already waits (it stops the link; a start kept meanwhile is dropped).
  bool StopRequested();
  // The waiting stop has ended: true when a start kept during it is due.
  bool StopEnded();
  bool StopWaiting() const { return stopWaiting_; }

 private:
  bool stopWaiting_ = false;
  bool startKept_ = false;
};

// Log text of a device-change event ("DBT_DEVICEARRIVAL", ... "DBT_XXX unknown").
const wchar_t* DeviceChangeEventName(unsigned event);
// True for the events after which the device thread re-checks the driver.
bool DeviceChangeNeedsRecheck(unsigned event);

// "Quorvane<session>" into out[capacity]; false when it does not fit.
bool MainWindowTitle(uint32_t session, wchar_t* out, unsigned capacity);

// Registers for session notifications through `tryRegister` (returns 0 on
// success, else the error) and `sleepMs`; retries every second while the
// terminal service is not up yet (1702). Returns 0 or the final error.
template <class TryFn, class SleepFn>
uint32_t RegisterSessionNotificationWithRetry(TryFn tryRegister, SleepFn sleepMs) {
  for (;;) {
    uint32_t err = tryRegister();
    if (err != 1702u) return err;
    sleepMs(1000u);
  }
}

}  // namespace qvn
