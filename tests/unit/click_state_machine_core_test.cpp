#include "click_state_machine_core.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

using namespace qvn;

class FakePort : public FstmPort {
 public:
  bool autoClick = false, clickLock = false;
  int32_t singleClick = 1;
  double lockSeconds = 1.0, autoSeconds = 1.0;
  int32_t cx = 0, cy = 0;
  bool timerFails = false;
  uintptr_t nextId = 100;
  std::vector<std::string> out;
  std::vector<std::wstring> logs;
  std::vector<std::pair<FstmTimer, uint32_t>> started;
  std::vector<uintptr_t> running;

  bool LogEnabled(uint32_t) override { return true; }
  void Log(uint32_t, const std::wstring& l) override { logs.push_back(l); }
  uintptr_t TimerStart(FstmTimer w, uint32_t period) override {
    if (timerFails) return 0;
    started.push_back({w, period});
    running.push_back(nextId);
    return nextId++;
  }
  void TimerKill(uintptr_t id) override {
    for (auto it = running.begin(); it != running.end(); ++it)
      if (*it == id) { running.erase(it); return; }
    ADD_FAILURE() << "killed a timer that does not run: " << id;
  }
  uint32_t LastErrorCode() override { return 1400; }
  void LeftButton(bool down) override { out.push_back(down ? "left down" : "left up"); }
  void Wheel(int16_t d) override { out.push_back("wheel " + std::to_string(d)); }
  bool CursorPos(int32_t* x, int32_t* y) override { *x = cx; *y = cy; return true; }
  bool AutoClickEnabled() override { return autoClick; }
  bool ClickLockEnabled() override { return clickLock; }
  int32_t PerformSingleClickSetting() override { return singleClick; }
  double ClickLockTimeSeconds() override { return lockSeconds; }
  double AutoClickTimeSeconds() override { return autoSeconds; }
  bool DragscrollStart() override { out.push_back("drag start"); return true; }
  bool DragscrollMouseMove() override { out.push_back("drag move"); return true; }
  bool DragscrollEnd() override { out.push_back("drag end"); return true; }
};

using V = std::vector<std::string>;

class Fstm : public ::testing::Test {
 protected:
  FakePort port;
  FstmMachine m{port};
  V Run(int e) {
    port.out.clear();
    m.Event(e, 0);
    return port.out;
  }
};

TEST(FstmTable, TransitionTableMatchesTheDesignToTheEntry) {
  // (action, success state, failure state) per event (rows) and state (columns).
  using A = FstmAction;
  struct Cell { A a; int ok; int fail; };
  const Cell expected[9][5] = {
      {{A::RestartAutoClick, 0, 0}, {A::None, 1, 1}, {A::None, 2, 2}, {A::ZoomStep, 3, 3}, {A::DragscrollMouseMove, 4, 4}},
      {{A::PerformAutoClick, 0, 0}, {A::None, 0, 1}, {A::None, 2, 2}, {A::None, 3, 3}, {A::None, 4, 4}},
      {{A::None, 0, 0}, {A::None, 2, 2}, {A::None, 2, 2}, {A::None, 3, 3}, {A::None, 4, 4}},
      {{A::PressAndArmLock, 1, 1}, {A::PressAndArmLock, 1, 1}, {A::PressAndArmLock, 0, 0}, {A::None, 3, 3}, {A::None, 4, 4}},
      {{A::ReleaseAndArmAutoClick, 0, 0}, {A::ReleaseAndArmAutoClick, 0, 0}, {A::None, 2, 2}, {A::None, 0, 0}, {A::DragscrollEnd, 0, 0}},
      {{A::RestartAutoClick, 0, 0}, {A::RestartAutoClick, 0, 0}, {A::ReleaseLock, 0, 0}, {A::None, 3, 3}, {A::None, 4, 4}},
      {{A::RestartAutoClick, 0, 0}, {A::RestartAutoClick, 0, 0}, {A::RestartAutoClick, 0, 0}, {A::None, 0, 0}, {A::None, 4, 4}},
      {{A::ZoomStart, 3, 3}, {A::None, 1, 1}, {A::None, 2, 2}, {A::None, 3, 3}, {A::None, 4, 4}},
      {{A::DragscrollStart, 4, 4}, {A::None, 1, 1}, {A::None, 2, 2}, {A::None, 3, 3}, {A::None, 4, 4}},
  };
  const wchar_t* names[5] = {L"QMS_STA_CLICKLOCK_ENABLED_AND_AUTOCLICK_ENABLED",
                             L"QMS_STA_CLICKLOCK_WAITING_AND_AUTOCLICK_ENABLED,L",
                             L"QMS_STA_CLICKLOCK_LOCKED_AND_AUTOCLICK_ENABLED", L"QMS_STA_ZOOMING",
                             L"QMS_STA_DRAGSCROLL"};
  const FstmStateDescriptor* states = FstmStates();
  for (int s = 0; s < 5; ++s) {
    EXPECT_EQ(std::wstring(states[s].name), names[s]);
    ASSERT_EQ(states[s].eventCount, 9);
    for (int e = 0; e < 9; ++e) {
      const FstmTransition& t = states[s].table[e];
      EXPECT_EQ(t.event, e);
      EXPECT_EQ(t.action, expected[e][s].a) << "state " << s << " event " << e;
      EXPECT_EQ(t.stateSuccess, expected[e][s].ok) << "state " << s << " event " << e;
      EXPECT_EQ(t.stateFailure, expected[e][s].fail) << "state " << s << " event " << e;
    }
  }
}

TEST_F(Fstm, ClickLockPressTimerIgnoredReleaseThenNextClick) {
  port.clickLock = true;
  port.lockSeconds = 1.5;
  EXPECT_EQ(Run(QMS_EVT_LEFT_PRESSED), V{"left down"});
  EXPECT_EQ(m.State(), 1);
  ASSERT_EQ(port.started.size(), 1u);
  EXPECT_EQ(port.started[0].first, FstmTimer::ClickLock);
  EXPECT_EQ(port.started[0].second, 1500u);
  port.out.clear();
  m.ClickLockTimerTick();
  EXPECT_EQ(m.State(), 2);
  EXPECT_TRUE(port.running.empty()) << "the click-lock timer fires once";
  EXPECT_EQ(Run(QMS_EVT_RELEASED), V{}) << "the left button stays down";
  EXPECT_EQ(m.State(), 2);
  EXPECT_EQ(Run(QMS_EVT_LEFT_PRESSED), V{"left down"});
  EXPECT_EQ(m.State(), 0);
  EXPECT_TRUE(m.ClickLockTimerRunning());
  EXPECT_EQ(Run(QMS_EVT_RELEASED), V{"left up"});
  EXPECT_EQ(m.State(), 0);
  EXPECT_FALSE(m.ClickLockTimerRunning());
}

TEST_F(Fstm, ReleaseBeforeTheLockTimerIsAnOrdinaryClick) {
  port.clickLock = true;
  port.autoClick = true;
  Run(QMS_EVT_LEFT_PRESSED);
  EXPECT_EQ(Run(QMS_EVT_RELEASED), V{"left up"});
  EXPECT_EQ(m.State(), 0);
  EXPECT_FALSE(m.ClickLockTimerRunning());
  EXPECT_TRUE(m.AutoClickTimerRunning()) << "the release arms the auto click";
}

TEST_F(Fstm, ClickLockDisabledPassesThroughWithOneDownAndOneUp) {
  EXPECT_EQ(Run(QMS_EVT_LEFT_PRESSED), V{"left down"});
  EXPECT_EQ(m.State(), 1);
  EXPECT_EQ(Run(QMS_EVT_POINTER_MOVED), V{});
  EXPECT_EQ(Run(QMS_EVT_RELEASED), V{"left up"});
  EXPECT_EQ(m.State(), 0);
  EXPECT_TRUE(port.started.empty());
}

TEST_F(Fstm, CancelInLockedStateReleasesAndKeyPressDoesNot) {
  port.clickLock = true;
  Run(QMS_EVT_LEFT_PRESSED);
  m.ClickLockTimerTick();
  EXPECT_EQ(Run(QMS_EVT_CANCEL), V{"left up"});
  EXPECT_EQ(m.State(), 0);
  Run(QMS_EVT_LEFT_PRESSED);
  m.ClickLockTimerTick();
  ASSERT_EQ(m.State(), 2);
  EXPECT_EQ(Run(QMS_EVT_KEY_PRESSED), V{}) << "a key press leaves the button down";
  EXPECT_EQ(m.State(), 0);
}

TEST_F(Fstm, AutoClickSingleAfterIdleTime) {
  port.autoClick = true;
  port.autoSeconds = 2.5;
  Run(QMS_EVT_POINTER_MOVED);
  ASSERT_EQ(port.started.size(), 1u);
  EXPECT_EQ(port.started[0].first, FstmTimer::AutoClick);
  EXPECT_EQ(port.started[0].second, 2u) << "polling period: the seconds value taken as milliseconds";
  port.out.clear();
  m.AutoClickTimerTick(10000 + 2499, 10000);
  EXPECT_EQ(port.out, V{}) << "idle 2,499 ms: not yet";
  m.AutoClickTimerTick(10000 + 2500, 10000);
  EXPECT_EQ(port.out, (V{"left down", "left up"}));
  EXPECT_FALSE(m.AutoClickTimerRunning());
  EXPECT_TRUE(port.running.empty());
  port.out.clear();
  m.AutoClickTimerTick(20000, 10000);
  EXPECT_EQ(port.out, V{}) << "no second click until the next movement";
  Run(QMS_EVT_POINTER_MOVED);
  EXPECT_TRUE(m.AutoClickTimerRunning());
}

TEST_F(Fstm, AutoClickDoubleWhenSingleClickIsNotChosen) {
  port.autoClick = true;
  port.singleClick = 0;
  Run(QMS_EVT_POINTER_MOVED);
  port.out.clear();
  m.AutoClickTimerTick(0x00000100u, 0xFFFFFD00u);  // idle 1,024 ms across the tick wrap
  EXPECT_EQ(port.out, (V{"left down", "left up", "left down", "left up"}));
}

TEST_F(Fstm, AutoClickInputAfterTheClockReadIsNoIdleTime) {
  port.autoClick = true;
  port.autoSeconds = 0.5;
  Run(QMS_EVT_POINTER_MOVED);
  port.out.clear();
  // The last input is 5 ms later than "now": the user is active.
  m.AutoClickTimerTick(10000, 10005);
  m.AutoClickTimerTick(0xFFFFFFF0u, 0x00000003u);  // the same across the tick wrap
  EXPECT_EQ(port.out, V{});
  EXPECT_TRUE(m.AutoClickTimerRunning());
  m.AutoClickTimerTick(10505, 10005);
  EXPECT_EQ(port.out, (V{"left down", "left up"}));
}

TEST_F(Fstm, ResetReturnsToIdleWithTimersKilledAndInjectsNothing) {
  port.clickLock = true;
  port.autoClick = true;
  // Click lock engaged: pressed, lock timer fired.
  Run(QMS_EVT_LEFT_PRESSED);
  m.ClickLockTimerTick();
  ASSERT_EQ(m.State(), QMS_STA_CLICKLOCK_LOCKED_AND_AUTOCLICK_ENABLED);
  port.out.clear();
  m.Reset();
  EXPECT_EQ(m.State(), QMS_STA_CLICKLOCK_ENABLED_AND_AUTOCLICK_ENABLED);
  EXPECT_TRUE(port.running.empty());
  EXPECT_EQ(port.out, V{}) << "the shell releases the held button";
  // Waiting for the lock, and a running auto-click timer.
  Run(QMS_EVT_POINTER_MOVED);
  Run(QMS_EVT_LEFT_PRESSED);
  ASSERT_TRUE(m.ClickLockTimerRunning());
  m.Reset();
  EXPECT_TRUE(port.running.empty());
  EXPECT_FALSE(m.AutoClickTimerRunning());
  EXPECT_FALSE(m.ClickLockTimerRunning());
  // Drag-scroll is ended; zoom just leaves.
  Run(QMS_EVT_DRAGSCROLL_START);
  port.out.clear();
  m.Reset();
  EXPECT_EQ(port.out, V{"drag end"});
  Run(QMS_EVT_ZOOM_PRESSED);
  port.out.clear();
  m.Reset();
  EXPECT_EQ(port.out, V{});
  EXPECT_EQ(m.State(), 0);
}

TEST_F(Fstm, AutoClickDisabledMakesNoTimerAndNoClick) {
  for (int i = 0; i < 5; ++i) EXPECT_EQ(Run(QMS_EVT_POINTER_MOVED), V{});
  EXPECT_TRUE(port.started.empty());
  m.AutoClickTimerTick(100000, 0);
  EXPECT_TRUE(port.out.empty());
}

TEST_F(Fstm, TimerThatCannotStartIsLoggedAndTheStateStillMoves) {
  port.clickLock = true;
  port.timerFails = true;
  EXPECT_EQ(m.Event(QMS_EVT_LEFT_PRESSED, 0), 0);
  EXPECT_EQ(m.State(), 1);
  ASSERT_GE(port.logs.size(), 2u);
  EXPECT_EQ(port.logs[0], L"InternalStartClickLockTimer  SetTimer failed! 1400");
  EXPECT_EQ(port.logs[1], L"InternalStartClickLockTimer failed!");
}

TEST_F(Fstm, ZoomStepsFollowTheExampleSequence) {
  port.cx = 300;
  port.cy = 500;
  Run(QMS_EVT_ZOOM_PRESSED);
  EXPECT_EQ(m.State(), 3);
  auto move = [&](int y) { port.cy = y; return Run(QMS_EVT_POINTER_MOVED); };
  EXPECT_EQ(move(475), V{"wheel 120"});
  EXPECT_EQ(m.ZoomLastStep().y, 475);
  EXPECT_EQ(move(470), V{});
  EXPECT_EQ(move(486), V{"wheel -120"});
  EXPECT_EQ(m.ZoomLastStep().y, 486);
  EXPECT_EQ(move(500), V{});
  EXPECT_EQ(move(511), V{"wheel -120"}) << "below the start, first step down";
  EXPECT_EQ(move(521), V{});
  EXPECT_EQ(move(522), V{"wheel -120"});
  EXPECT_EQ(move(505), V{"wheel 120"}) << "back up by more than 10, still below the start";
  EXPECT_EQ(Run(QMS_EVT_RELEASED), V{});
  EXPECT_EQ(m.State(), 0);
}

TEST_F(Fstm, ZoomStepAtTheTopEdgeIsAStepLikeAnyOther) {
  port.cx = port.cy = 300;
  Run(QMS_EVT_ZOOM_PRESSED);
  auto move = [&](int y) { port.cy = y; return Run(QMS_EVT_POINTER_MOVED); };
  EXPECT_EQ(move(0), V{"wheel 120"});
  for (int i = 0; i < 2; ++i) EXPECT_EQ(move(0), V{}) << "pointer held against the top edge: no more notches";
  EXPECT_EQ(move(11), V{"wheel -120"});
}

TEST_F(Fstm, KeyPressEndsZoomAndDragScrollRunsItsEntryPoints) {
  Run(QMS_EVT_ZOOM_PRESSED);
  Run(QMS_EVT_KEY_PRESSED);
  EXPECT_EQ(m.State(), 0);
  EXPECT_EQ(Run(QMS_EVT_DRAGSCROLL_START), V{"drag start"});
  EXPECT_EQ(m.State(), 4);
  EXPECT_EQ(Run(QMS_EVT_POINTER_MOVED), V{"drag move"});
  EXPECT_EQ(Run(QMS_EVT_KEY_PRESSED), V{});
  EXPECT_EQ(m.State(), 4);
  EXPECT_EQ(Run(QMS_EVT_RELEASED), V{"drag end"});
  EXPECT_EQ(m.State(), 0);
}

TEST_F(Fstm, UnknownEventNumbersAreLoggedAndIgnored) {
  port.clickLock = true;
  Run(QMS_EVT_LEFT_PRESSED);
  for (int64_t e : {9LL, -1LL, 1000LL, 0x7FFFFFFFLL, 0x100000003LL}) {
    port.logs.clear();
    EXPECT_EQ(m.Event(e, 0), 0);
    EXPECT_EQ(m.State(), 1);
    ASSERT_EQ(port.logs.size(), 1u);
    EXPECT_EQ(port.logs[0], L"FSTM Event " + std::to_wstring(e) + L" unknown, ignored");
  }
  EXPECT_EQ(Run(QMS_EVT_RELEASED), V{"left up"});
}

TEST_F(Fstm, RepeatedEventIsSummarisedInOneLine) {
  Run(QMS_EVT_LEFT_PRESSED);
  ASSERT_EQ(port.logs.size(), 1u);
  EXPECT_EQ(port.logs[0],
            L"FSTM Event 3.\n       From QMS_STA_CLICKLOCK_ENABLED_AND_AUTOCLICK_ENABLED (0) >>>> to "
            L"QMS_STA_CLICKLOCK_WAITING_AND_AUTOCLICK_ENABLED,L (1)");
  port.logs.clear();
  for (int i = 0; i < 6; ++i) Run(QMS_EVT_POINTER_MOVED);
  // The first movement differs from the previous event and is logged; the
  // five that repeat it are counted.
  ASSERT_EQ(port.logs.size(), 1u);
  EXPECT_EQ(port.logs[0],
            L"FSTM Event 0.\n       From QMS_STA_CLICKLOCK_WAITING_AND_AUTOCLICK_ENABLED,L (1) >>>> to "
            L"QMS_STA_CLICKLOCK_WAITING_AND_AUTOCLICK_ENABLED,L (1)");
  port.logs.clear();
  Run(QMS_EVT_RELEASED);
  ASSERT_EQ(port.logs.size(), 2u);
  EXPECT_EQ(port.logs[0], L"FSTM Event 0 x 5 QMS_STA_CLICKLOCK_WAITING_AND_AUTOCLICK_ENABLED,L (1)");
  EXPECT_EQ(port.logs[1],
            L"FSTM Event 4.\n       From QMS_STA_CLICKLOCK_WAITING_AND_AUTOCLICK_ENABLED,L (1) >>>> to "
            L"QMS_STA_CLICKLOCK_ENABLED_AND_AUTOCLICK_ENABLED (0)");
}

TEST(FstmPeriods, TimerPeriodsFromDecimalSettings) {
  EXPECT_EQ(FstmMachine::AutoClickPeriodMs(1.0), 1u);
  EXPECT_EQ(FstmMachine::AutoClickPeriodMs(2.5), 2u);
  EXPECT_EQ(FstmMachine::ClickLockPeriodMs(1.0), 1000u);
  EXPECT_EQ(FstmMachine::ClickLockPeriodMs(0.25), 250u);
  EXPECT_EQ(FstmMachine::AutoClickIdleMs(2.5), 2500u);
  EXPECT_EQ(FstmMachine::ClickLockPeriodMs(-3.0), 0u);
  EXPECT_EQ(FstmMachine::ClickLockPeriodMs(1e300), 0x7FFFFFFFu);
  EXPECT_EQ(FstmMachine::AutoClickIdleMs(0.0 / 0.0 * 0 + __builtin_nan("")), 0u);
}

TEST(FstmFuzz, RandomEventsKeepTheStateValidAndTimersBalanced) {
  std::mt19937 rng(777);
  FakePort port;
  FstmMachine m(port);
  for (int i = 0; i < 50000; ++i) {
    port.autoClick = rng() % 2;
    port.clickLock = rng() % 3 != 0;
    port.timerFails = rng() % 20 == 0;
    port.cy = static_cast<int32_t>(rng() % 1200);
    switch (rng() % 10) {
      case 0: m.AutoClickTimerTick(static_cast<uint32_t>(rng()), static_cast<uint32_t>(rng())); break;
      case 1: if (m.ClickLockTimerRunning()) m.ClickLockTimerTick(); break;
      case 2: m.Event(static_cast<int64_t>(static_cast<int32_t>(rng())), 0); break;
      default: m.Event(rng() % 9, static_cast<int64_t>(rng())); break;
    }
    ASSERT_GE(m.State(), 0);
    ASSERT_LT(m.State(), kFstmStateCount);
    ASSERT_LE(port.running.size(), 2u) << "at most the two timers run";
    port.out.clear();
    port.logs.clear();
  }
}

}  // namespace
