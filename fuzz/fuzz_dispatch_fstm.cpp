// The button dispatcher and the click-lock / auto-click / zoom state
// machine fed random event streams, with the tracker of injected keys and
// buttons between them and the "system" (what is really down). Whatever the
// stream, after the release step (as when the driver link stops) nothing is
// down, no timer runs, and releases arriving afterwards inject nothing.
#include <map>
#include <set>
#include <utility>
#include <vector>

#include "dispatcher_core.h"
#include "click_state_machine_core.h"
#include "function_catalogue.h"
#include "fuzz_input.h"
#include "held_input_core.h"

namespace {

using qvn::HeldKind;

// What the driver has pressed for the user, and the executive's tracker of
// it, updated the way the Win32 injectors do.
struct Input {
  std::set<std::pair<int, int>> down;  // (kind, code)
  qvn::HeldInputTracker tracker;
  size_t injected = 0;
  void Send(HeldKind kind, uint16_t code, bool isDown, uint16_t flags = 0) {
    ++injected;
    auto id = std::make_pair(static_cast<int>(kind), static_cast<int>(code));
    if (isDown) {
      down.insert(id);
      tracker.Down(kind, code, flags);
    } else {
      down.erase(id);
      tracker.Up(kind, code);
    }
  }
};

class Machine;

class FstmPortImpl : public qvn::FstmPort {
 public:
  explicit FstmPortImpl(Input& in) : in_(in) {}
  std::set<uintptr_t> timers;
  uintptr_t next = 1;
  bool autoClick = true, clickLock = true, log = false;
  int32_t singleClick = 1;

  bool LogEnabled(uint32_t) override { return log; }
  void Log(uint32_t, const std::wstring&) override {}
  uintptr_t TimerStart(qvn::FstmTimer, uint32_t) override {
    timers.insert(next);
    return next++;
  }
  void TimerKill(uintptr_t id) override {
    FUZZ_CHECK(timers.erase(id) == 1);
  }
  uint32_t LastErrorCode() override { return 0; }
  void LeftButton(bool d) override { in_.Send(HeldKind::Button, 0, d); }
  void Wheel(int16_t) override { ++in_.injected; }
  bool CursorPos(int32_t* x, int32_t* y) override {
    *x = 100;
    *y = cursorY;
    return true;
  }
  bool AutoClickEnabled() override { return autoClick; }
  bool ClickLockEnabled() override { return clickLock; }
  int32_t PerformSingleClickSetting() override { return singleClick; }
  double ClickLockTimeSeconds() override { return 1.0; }
  double AutoClickTimeSeconds() override { return 1.0; }
  bool DragscrollStart() override { return true; }
  bool DragscrollMouseMove() override { return true; }
  bool DragscrollEnd() override { return true; }
  int32_t cursorY = 300;

 private:
  Input& in_;
};

class DispatchPortImpl : public qme::DispatchPort {
 public:
  DispatchPortImpl(Input& in, qvn::FstmMachine& machine) : in_(in), machine_(machine) {
    config.buttonCount = 8;
  }
  QMELinkConfData config{};
  bool log = false;

  bool LogEnabled(uint32_t) override { return log; }
  void Log(uint32_t, const std::wstring&) override {}
  bool TargetWindowFind() override { return true; }
  bool ApplicationChanged() override { return false; }
  void LinkConfigReload() override {}
  std::wstring CurrentApplicationName() override { return L""; }
  const QMELinkConfData& LinkConfig() override { return config; }
  // Refused now and then, as under the foreground lock.
  bool TargetForeground() override { return foregroundOk; }
  bool foregroundOk = true;
  void Key(uint16_t vk, bool d, uint16_t flags) override { in_.Send(HeldKind::Key, vk, d, flags); }
  void MouseButton(int b, bool d) override {
    FUZZ_CHECK(b >= 0 && b <= 4);
    in_.Send(HeldKind::Button, static_cast<uint16_t>(b), d);
  }
  void YieldProcessor() override {}
  void FstmEvent(int e) override { machine_.Event(e, 0); }
  void WindowCommand(uint32_t) override {}
  // A recording replays balanced downs and ups (see its own target).
  void KeyStrokeRecording(int32_t, int, bool) override {}
  void LaunchApplication(int, bool) override {}
  void ShellFunction(int) override {}
  void PointerSpeedToggle() override {}
  void WheelNotches(int, int16_t) override { ++in_.injected; }

 private:
  Input& in_;
  qvn::FstmMachine& machine_;
};

// The release step of the link's stop: state machine idle, dispatcher
// cleared, every tracked input's up sent.
void ReleaseStep(qvn::FstmMachine& machine, qme::DispatcherCore& dispatcher, Input& in) {
  machine.Reset();
  dispatcher.Reset();
  for (const qvn::HeldInput& h : in.tracker.TakeAll()) in.Send(h.kind, h.code, false, h.flags);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 18) return 0;
  Input in;
  FstmPortImpl fport(in);
  qvn::FstmMachine machine(fport);
  DispatchPortImpl dport(in, machine);
  qme::DispatcherCore dispatcher(dport);
  // Button assignments from the first 16 bytes (primary, secondary).
  for (int b = 1; b <= 8; ++b) {
    dport.config.buttons[b].primary = static_cast<uint8_t>(data[2 * (b - 1)] % QVN_FUNCTION_COUNT);
    dport.config.buttons[b].secondary = static_cast<uint8_t>(data[2 * (b - 1) + 1] % QVN_FUNCTION_COUNT);
  }
  fport.autoClick = data[16] & 1;
  fport.clickLock = data[16] & 2;
  fport.singleClick = (data[16] & 4) ? 1 : 0;
  fport.log = dport.log = (data[16] & 8) != 0;  // log lines are built only when asked for
  uint32_t tick = 1000;
  uint64_t nowUs = 1000000;
  std::vector<uint16_t> pressed;
  for (size_t i = 17; i + 1 < size; i += 2) {
    const uint8_t op = data[i], arg = data[i + 1];
    const uint16_t button = static_cast<uint16_t>(1 + arg % 9);  // 9: outside the mouse
    switch (op % 10) {
      case 0: case 1: case 2:
        dport.foregroundOk = (arg & 0x80) == 0;
        dispatcher.ExecuteFunctions(qme::kEventPressed, button, nowUs += arg * 1000u);
        pressed.push_back(button);
        break;
      case 3: case 4: case 5:
        dispatcher.ExecuteFunctions(qme::kEventReleased, button, nowUs += arg * 1000u);
        break;
      case 6:
        tick += arg * 20u;
        machine.AutoClickTimerTick(tick, tick - arg * 30u);
        break;
      case 7:
        if (machine.ClickLockTimerRunning()) machine.ClickLockTimerTick();
        break;
      case 8:
        fport.cursorY = arg * 4;
        machine.Event(arg % 9, 0);  // pointer moves, key presses, cancels from the hook
        break;
      case 9:
        if (arg == 0) {  // the link stops in the middle of the stream
          ReleaseStep(machine, dispatcher, in);
          FUZZ_CHECK(in.down.empty());
        } else {
          dispatcher.ExecuteFunctions(static_cast<int32_t>(arg) << 8, button, nowUs);  // odd event types
        }
        break;
    }
  }
  ReleaseStep(machine, dispatcher, in);
  FUZZ_CHECK(in.down.empty());
  FUZZ_CHECK(in.tracker.Count() == 0);
  FUZZ_CHECK(fport.timers.empty());
  FUZZ_CHECK(machine.State() == qvn::QMS_STA_CLICKLOCK_ENABLED_AND_AUTOCLICK_ENABLED);
  FUZZ_CHECK(dispatcher.PendingPresses() == 0 && !dispatcher.SecondaryMode());
  // Releases of presses made before the stop change nothing.
  const size_t before = in.injected;
  for (uint16_t b : pressed) dispatcher.ExecuteFunctions(qme::kEventReleased, b, nowUs);
  FUZZ_CHECK(in.injected == before);
  FUZZ_CHECK(in.down.empty());
  return 0;
}
