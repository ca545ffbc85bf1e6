// The click-lock / auto-click / zoom state machine inside the running
// executive: events go to its main window exactly as the device thread and
// the hook library send them; the simulated driver logs the left-button and
// wheel requests the machine makes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dbwin_reader.h"
#include "dispatch_fixture.h"
#include "exec_runner.h"
#include "qvn_messages.h"

using namespace dispatchtest;
using V = std::vector<std::string>;

namespace {

const std::string kLeftDown = "left-button down", kLeftUp = "left-button up";

// One key press and release through the system's input (counts as input
// for the idle time of the auto click).
void TapKey() {
  INPUT in[2] = {};
  in[0].type = in[1].type = INPUT_KEYBOARD;
  in[0].ki.wVk = in[1].ki.wVk = VK_F24;
  in[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, in, sizeof(INPUT));
}

class Fstm : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(StartSimDriver(sim_)) << sim_.LastError();
    ASSERT_TRUE(sim_.Reset());
    ClearButtonSettings();
    ASSERT_TRUE(log_.Start());
  }
  void TearDown() override {
    if (exec_.Proc().Running()) exec_.Exit();
    qvntest::SetDebugLevel(0);
    ClearButtonSettings();
  }
  // Ready once its device thread waits for the first event: the state
  // machine's parameters are read before that thread starts.
  void StartExec(DWORD level = 0x0900) {
    ASSERT_TRUE(exec_.Start(level));
    ASSERT_TRUE(sim_.WaitOneWaitOutstanding(15000));
    ASSERT_TRUE(sim_.Clear());
  }
  V Send(int event) {
    sim_.Clear();
    SendMessageW(exec_.Window(), WM_APP_QUORVANE_FSTM_EVENT, static_cast<WPARAM>(event), 0);
    return Injected(sim_);
  }
  bool WaitInjected(size_t n, DWORD ms) {
    return qvntest::WaitUntil([&] { return Injected(sim_).size() >= n; }, ms);
  }
  size_t LogCount(const std::string& text) {  // every line written so far counted
    EXPECT_TRUE(log_.Drain());
    return log_.Count("QMEXE: " + text, exec_.Pid());
  }

  simdriver::SimDriver sim_;
  qvntest::ExecRunner exec_;
  DbwinReader log_;
};

const char kToLocked[] =
    "FSTM Event 2.\n       From QMS_STA_CLICKLOCK_WAITING_AND_AUTOCLICK_ENABLED,L (1) >>>> to "
    "QMS_STA_CLICKLOCK_LOCKED_AND_AUTOCLICK_ENABLED (2)";

TEST_F(Fstm, ClickLockPressTimerReleaseIgnoredThenNextClick) {
  SetSetting(L"CheckClickLock", L"1");
  SetSetting(L"QvnClickLockTime", L"0.3");
  StartExec();
  EXPECT_EQ(Send(3), V{kLeftDown});
  EXPECT_TRUE(log_.WaitFor(std::string("QMEXE: ") + kToLocked, 3000, exec_.Pid())) << "the click-lock timer fired";
  EXPECT_EQ(Send(4), V{}) << "the release is ignored: the button stays down";
  EXPECT_EQ(Send(3), V{kLeftDown});
  EXPECT_EQ(Send(4), V{kLeftUp}) << "released within the lock time";
  Sleep(500);
  EXPECT_EQ(LogCount(kToLocked), 1u) << "the second press's timer was stopped by its release";
}

TEST_F(Fstm, ClickLockDisabledPassesOneDownAndOneUp) {
  StartExec();
  EXPECT_EQ(Send(3), V{kLeftDown});
  Sleep(1300);
  EXPECT_EQ(Send(4), V{kLeftUp});
}

TEST_F(Fstm, KeyPressInLockedStateReturnsToReadyWithoutRelease) {
  SetSetting(L"CheckClickLock", L"1");
  SetSetting(L"QvnClickLockTime", L"0.2");
  StartExec();
  Send(3);
  ASSERT_TRUE(log_.WaitFor(std::string("QMEXE: ") + kToLocked, 3000, exec_.Pid()));
  sim_.Clear();
  SendMessageW(exec_.Window(), WM_APP_QUORVANE_HOOK_KEYPRESSED, 0, 0);
  EXPECT_EQ(Injected(sim_), V{}) << "the left button stays down";
  EXPECT_EQ(LogCount("FSTM Event 6.\n       From QMS_STA_CLICKLOCK_LOCKED_AND_AUTOCLICK_ENABLED (2) >>>> to "
                     "QMS_STA_CLICKLOCK_ENABLED_AND_AUTOCLICK_ENABLED (0)"), 1u);
  EXPECT_EQ(Send(4), V{kLeftUp}) << "in state 0 a release lets go";
}

TEST_F(Fstm, CancelInLockedStateReleasesAtOnce) {
  SetSetting(L"CheckClickLock", L"1");
  SetSetting(L"QvnClickLockTime", L"0.2");
  StartExec();
  Send(3);
  ASSERT_TRUE(log_.WaitFor(std::string("QMEXE: ") + kToLocked, 3000, exec_.Pid()));
  EXPECT_EQ(Send(5), V{kLeftUp});
}

TEST_F(Fstm, AutoClickSingleAfterThePointerRests) {
  SetSetting(L"CheckAutoClick", L"1");
  SetSetting(L"QvnAutoClickTime", L"0.5");
  StartExec();
  // The pointer movement the driver reports is real input on a real
  // system: the idle time counts from it.
  TapKey();
  DWORD start = GetTickCount();
  EXPECT_EQ(Send(0), V{});
  ASSERT_TRUE(WaitInjected(2, 5000));
  DWORD elapsed = GetTickCount() - start;
  EXPECT_EQ(Injected(sim_), (V{kLeftDown, kLeftUp}));
  EXPECT_GE(elapsed, 450u) << "not before the auto-click time";
  Sleep(1200);
  EXPECT_EQ(Injected(sim_).size(), 2u) << "one click; the timer waits for the next movement";
  sim_.Clear();
  Send(0);
  EXPECT_TRUE(WaitInjected(2, 5000)) << "the next movement arms it again";
}

TEST_F(Fstm, AutoClickDoubleWhenChosen) {
  SetSetting(L"CheckAutoClick", L"1");
  SetSetting(L"QvnAutoClickTime", L"0.4");
  SetSetting(L"RadioPerformSingleClick", L"0");
  StartExec();
  Send(0);
  ASSERT_TRUE(WaitInjected(4, 5000));
  Sleep(300);
  EXPECT_EQ(Injected(sim_), (V{kLeftDown, kLeftUp, kLeftDown, kLeftUp}));
}

TEST_F(Fstm, AutoClickWaitsWhileTheUserTypes) {
  SetSetting(L"CheckAutoClick", L"1");
  SetSetting(L"QvnAutoClickTime", L"0.5");
  StartExec();
  // Input every 100 ms keeps the idle time below 0.5 s. On a loaded machine
  // a tap can come late; a round in which two taps lay 350 ms or more apart
  // proves nothing and is run again.
  bool conclusive = false;
  for (int round = 0; round < 3 && !conclusive; ++round) {
    TapKey();
    DWORD last = GetTickCount(), widest = 0;
    Send(0);
    V duringInput;
    for (int i = 0; i < 12; ++i) {
      Sleep(100);
      TapKey();
      DWORD now = GetTickCount();
      if (now - last > widest) widest = now - last;
      last = now;
    }
    duringInput = Injected(sim_);
    conclusive = widest < 350;
    if (conclusive) {
      EXPECT_EQ(duringInput, V{}) << "no click while input goes on";
    }
    EXPECT_TRUE(WaitInjected(2, 5000)) << "the click follows once input rests";
  }
  EXPECT_TRUE(conclusive) << "the test could not keep input going every 100 ms";
}

TEST_F(Fstm, AutoClickDisabledMovementMakesNoClick) {
  StartExec();
  for (int i = 0; i < 5; ++i) Send(0);
  Sleep(1500);
  EXPECT_EQ(Injected(sim_), V{});
}

TEST_F(Fstm, ZoomStepsFollowThePointerAcrossTheStartLine) {
  StartExec();
  auto put = [](int y) {
    SetCursorPos(600, y);
    return qvntest::WaitUntil([&] { POINT p; return GetCursorPos(&p) && p.x == 600 && p.y == y; }, 2000);
  };
  ASSERT_TRUE(put(500));
  EXPECT_EQ(Send(7), V{});
  auto move = [&](int y) {
    EXPECT_TRUE(put(y));
    return Send(0);
  };
  EXPECT_EQ(move(475), V{"wheel 120"});
  EXPECT_EQ(move(470), V{});
  EXPECT_EQ(move(486), V{"wheel -120"});
  EXPECT_EQ(move(500), V{});
  EXPECT_EQ(Send(4), V{}) << "the release ends the gesture";
  EXPECT_EQ(move(300), V{}) << "back in the ready state no wheel";
}

TEST_F(Fstm, UnknownEventNumbersAreLoggedAndIgnored) {
  StartExec();
  for (WPARAM e : {WPARAM(9), WPARAM(1000), WPARAM(0x7FFFFFFF), static_cast<WPARAM>(-1)}) {
    EXPECT_EQ(Send(static_cast<int>(e)), V{});
  }
  // The lines reach the debug channel's reader in order, after the events: the last one is waited for.
  EXPECT_TRUE(log_.WaitFor("QMEXE: FSTM Event 4294967295 unknown, ignored", 8000, exec_.Pid(), 1));
  EXPECT_EQ(LogCount("FSTM Event 9 unknown, ignored"), 1u);
  EXPECT_EQ(LogCount("FSTM Event 1000 unknown, ignored"), 1u);
  EXPECT_EQ(LogCount("FSTM Event 4294967295 unknown, ignored"), 1u);
  EXPECT_TRUE(exec_.Proc().Running());
  EXPECT_EQ(Send(3), V{kLeftDown}) << "the machine still works";
  EXPECT_EQ(Send(4), V{kLeftUp});
}

TEST_F(Fstm, RepeatedMovementIsSummarisedInOneLine) {
  StartExec();
  Send(3);
  for (int i = 0; i < 7; ++i) Send(0);
  Send(4);
  ASSERT_TRUE(log_.WaitFor("QMEXE: FSTM Event 0 x 6 QMS_STA_CLICKLOCK_WAITING_AND_AUTOCLICK_ENABLED,L (1)", 3000,
                           exec_.Pid()));
  EXPECT_EQ(log_.CountPrefix("QMEXE: FSTM Event 0.", exec_.Pid()), 1u) << "one line for the first movement only";
  EXPECT_EQ(log_.CountPrefix("QMEXE: FSTM Event 0 x", exec_.Pid()), 1u);
}

}  // namespace
