// Decisions of the button-function dispatcher: which function a press or a
// release runs (primary and secondary press maps, secondary mode), what the
// function does (expressed as calls on an output port), the per-application
// switch, the virtual keys of the key functions and the repeat count of
// accelerated scrolling. No Windows types: the Win32 shell (dispatcher.cpp)
// implements the port with the driver's injectors, window messages,
// registry and shell calls.
#pragma once
#include <cstdint>
#include <string>

#include "link_config.h"
#include "press_map.h"

namespace qme {

// Event types of the driver's event record as the dispatcher reads them.
constexpr int32_t kEventPressed = 1;
constexpr int32_t kEventReleased = 2;
// Button identifier of an accelerated-scrolling wheel report (the wheel
// delta is then in the low 16 bits of the event type).
constexpr uint16_t kButtonAcceleratedScrolling = 51;

// Mouse buttons of the driver's injection requests.
constexpr int kMouseLeft = 0, kMouseMiddle = 1, kMouseRight = 2, kMouseBack = 3, kMouseForward = 4;
// Key flags of a key injection.
constexpr uint16_t kKeyFlagsNone = 0, kKeyFlagsExtended = 2;
// Window commands (WM_SYSCOMMAND wParam).
constexpr uint32_t kScClose = 0xF060, kScMaximize = 0xF030, kScMinimize = 0xF020;
// State-machine events the dispatcher raises.
constexpr int kFstmLeftPressed = 3, kFstmReleased = 4, kFstmZoomPressed = 7;
// ShellFunction kinds.
constexpr int kShellRun = 1, kShellComputer = 2, kShellDesktop = 3;
// One wheel notch each way.
constexpr int16_t kWheelUp = 120, kWheelDown = -120;

// Extra wheel notches for an accelerated-scrolling report at `nowUs` when
// the previous one came at `*previousUs` (null: none yet), both read from a
// monotonic clock in microseconds: 0 unless the previous report lies less
// than 250 ms before; then 5 within the same millisecond, else 250 divided
// by the whole milliseconds between them, at most 10.
int AcceleratedScrollRepeatCount(const uint64_t* previousUs, uint64_t nowUs);

// Virtual-key code of a key-like function (Alt, Back, BackSpace, Copy, ...),
// 0 for identifiers without one.
uint16_t KeyCodeVirtualLookup(int functionId);

// Per-application switch. `displayName` is the program under the cursor,
// `current` the current application name (updated). Equal without regard to
// case: no change. Otherwise the "App" sub-keys are walked with index
// 0, 1, 2, ... through `enumerate` (false ends the walk) and compared with
// the display name exactly; `current` becomes the display name on a match,
// empty otherwise. Returns true when the walk ran (the caller reloads).
using SubKeyEnumFn = bool (*)(void* context, uint32_t index, std::wstring* name);
bool ApplicationSwitch(const std::wstring& displayName, std::wstring* current,
                       SubKeyEnumFn enumerate, void* context);

// Everything the dispatcher does to the outside world.
class DispatchPort {
 public:
  virtual ~DispatchPort() = default;
  virtual bool LogEnabled(uint32_t mask) = 0;
  virtual void Log(uint32_t mask, const std::wstring& line) = 0;

  // Press step: take the top-level window under the cursor as the target.
  // False when there is none (logged by the port).
  virtual bool TargetWindowFind() = 0;
  // CheckApplicationChanged for the target window.
  virtual bool ApplicationChanged() = 0;
  virtual void LinkConfigReload() = 0;
  virtual std::wstring CurrentApplicationName() = 0;
  virtual const QMELinkConfData& LinkConfig() = 0;
  // Brings the target window found at the press to the foreground; false
  // when it could not be brought forward (the foreground lock of a
  // background process). True when there is no target window.
  virtual bool TargetForeground() = 0;

  virtual void Key(uint16_t virtualKey, bool down, uint16_t flags) = 0;
  virtual void MouseButton(int button, bool down) = 0;
  virtual void YieldProcessor() = 0;
  // Sent synchronously to the main window, argument 0.
  virtual void FstmEvent(int event) = 0;
  // WM_SYSCOMMAND to the top-level window under the cursor now.
  virtual void WindowCommand(uint32_t command) = 0;
  // Record: the button and whether its function came from the secondary
  // assignment (names KeyStrokeRecordN / KeyStrokeRecord6AndN etc.).
  virtual void KeyStrokeRecording(int32_t eventType, int button, bool secondary) = 0;
  virtual void LaunchApplication(int button, bool secondary) = 0;
  virtual void ShellFunction(int kind) = 0;
  // One pointer-speed toggle step; the port refreshes the tray icon after
  // a step that succeeded (the step may run after this call returns).
  virtual void PointerSpeedToggle() = 0;
  // `count` notches of `notchDelta` through the driver.
  virtual void WheelNotches(int count, int16_t notchDelta) = 0;
};

class DispatcherCore {
 public:
  explicit DispatcherCore(DispatchPort& port) : port_(port) {}

  // One driver event (event type, button identifier) at `nowUs`, the
  // monotonic clock in microseconds.
  void ExecuteFunctions(int32_t eventType, uint16_t buttonId, uint64_t nowUs);

  // Forgets every press and the secondary mode, as when the driver link
  // stops: a release arriving later for an earlier press does nothing.
  void Reset();

  bool SecondaryMode() const { return secondaryMode_; }
  size_t PendingPresses() const { return primaryPress_.size() + secondaryPress_.size(); }

 private:
  void Perform(int function, int32_t eventType, int button, bool secondary);
  void HeldKey(int function, int32_t eventType, int button, bool foreground, uint16_t flags);
  void CtrlChord(uint16_t key);
  void AcceleratedScrolling(uint16_t delta, uint64_t nowUs);
  void LogText(uint32_t mask, const wchar_t* text);

  DispatchPort& port_;
  bool secondaryMode_ = false;
  qvn::PressMap primaryPress_;
  qvn::PressMap secondaryPress_;
  // Buttons whose key was not sent at the press (its window stayed behind):
  // their release sends no key up either.
  qvn::PressMap keyWithheld_;
  bool havePreviousScroll_ = false;
  uint64_t previousScrollUs_ = 0;
};

}  // namespace qme
