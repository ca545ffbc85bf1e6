// What the running executive does after a page is applied: the Click page's
// new click-lock delay, the Wheel page's accelerated scrolling sent to the
// simulated driver, the Pointer Speed page's keyboard shortcut, and the
// Break page's timer restart.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cpl_host.h"
#include "dbwin_reader.h"
#include "dispatch_fixture.h"
#include "exec_runner.h"
#include "input_typing.h"
#include "user_settings.h"

using namespace cpltest;
using namespace qvntest;

namespace {

const wchar_t* const kExecSettings[] = {
    L"CheckClickLock", L"QvnClickLockTime", L"CheckAcceleratedScrolling", L"CurrentSpeedSelected",
    L"CheckSpeed1", L"CheckSpeed2", L"CheckSpeed3", L"PointerSpeed1", L"PointerSpeed2", L"PointerSpeed3",
    L"PointerSpeedToggleShortCut", L"CheckBreakReminder", L"EditBreakTime", L"CheckResumeReminder",
    L"EditResumeTime", L"RadioBreakVisualAlert", L"RadioBreakAudioAlert"};

const char kToLocked[] =
    "FSTM Event 2.\n       From QMS_STA_CLICKLOCK_WAITING_AND_AUTOCLICK_ENABLED,L (1) >>>> to "
    "QMS_STA_CLICKLOCK_LOCKED_AND_AUTOCLICK_ENABLED (2)";

class PagesWithExecutive : public ::testing::Test {
 protected:
  void SetUp() override {
    RemoveSettings(kExecSettings);
    dispatchtest::ClearButtonSettings();
    ASSERT_TRUE(log_.Start());
  }
  void TearDown() override {
    host_.Close();
    if (exec_.Proc().Running()) exec_.Exit(nullptr, 10000);
    qvntest::SetDebugLevel(0);
    RemoveSettings(kExecSettings);
    dispatchtest::ClearButtonSettings();
  }
  void StartExecWithMouse(DWORD level = 0x0900) {
    ASSERT_TRUE(dispatchtest::StartSimDriver(sim_)) << sim_.LastError();
    ASSERT_TRUE(sim_.Reset());
    ASSERT_TRUE(exec_.Start(level));
    ASSERT_TRUE(sim_.WaitOneWaitOutstanding(15000));
    ASSERT_TRUE(sim_.Clear());
  }
  std::vector<std::string> Injected() { return dispatchtest::Injected(sim_); }

  simdriver::SimDriver sim_;
  qvntest::ExecRunner exec_;
  DbwinReader log_;
  CplHost host_;
};

TEST_F(PagesWithExecutive, ClickLockEngagesAfterTheAppliedDelay) {
  SetSetting(L"CheckClickLock", L"1");
  SetSetting(L"QvnClickLockTime", L"1.0");
  StartExecWithMouse(0x1900);
  ASSERT_TRUE(host_.Start(kClickPage));
  host_.UpDown(234, true);
  host_.UpDown(234, true);
  ASSERT_TRUE(host_.WaitText(247, L"2.00"));
  ASSERT_TRUE(host_.Apply());
  ASSERT_TRUE(WaitSetting(L"QvnClickLockTime", L"2.00"));
  ASSERT_TRUE(log_.WaitFor("QMEXE: WM_APP_QUORVANE_SETTINGS_UPDATED", 5000, exec_.Pid()));
  Sleep(500);  // the device thread re-reads the parameters

  // Held 1.4 s: longer than the old delay, shorter than the new one.
  sim_.Clear();
  ASSERT_TRUE(sim_.Press(1));
  ASSERT_TRUE(qvntest::WaitUntil([&] { return Injected().size() >= 1; }, 5000));
  Sleep(1400);
  EXPECT_EQ(log_.Count(std::string("QMEXE: ") + kToLocked, exec_.Pid()), 0u) << "not locked before 2 s";
  ASSERT_TRUE(sim_.Release(1));
  EXPECT_TRUE(qvntest::WaitUntil([&] { return Injected().size() >= 2; }, 5000));
  EXPECT_EQ(Injected(), (std::vector<std::string>{"left-button down", "left-button up"}));

  // Held past 2 s: locked, the release is ignored.
  sim_.Clear();
  DWORD start = GetTickCount();
  ASSERT_TRUE(sim_.Press(1));
  ASSERT_TRUE(log_.WaitFor(std::string("QMEXE: ") + kToLocked, 8000, exec_.Pid()));
  EXPECT_GE(GetTickCount() - start, 1900u);
  ASSERT_TRUE(sim_.Release(1));
  Sleep(500);
  EXPECT_EQ(Injected(), (std::vector<std::string>{"left-button down"}));
  // A further click ends the lock.
  ASSERT_TRUE(sim_.Press(1));
  ASSERT_TRUE(sim_.Release(1));
  EXPECT_TRUE(qvntest::WaitUntil([&] { return Injected().size() >= 2; }, 5000));
}

TEST_F(PagesWithExecutive, AcceleratedScrollingReachesTheDriver) {
  SetSetting(L"CheckAcceleratedScrolling", L"0");
  StartExecWithMouse();
  ASSERT_TRUE(host_.Start(kWheelPage));
  EXPECT_FALSE(host_.Checked(210));
  auto lastConfig = [&] {
    std::vector<simdriver::LogEntry> c = sim_.Configurations();
    return c.empty() ? std::string() : simdriver::Describe(c.back());
  };
  host_.ClickItem(210, 0.05, 0.3);
  ASSERT_TRUE(host_.Checked(210));
  ASSERT_TRUE(host_.Apply());
  EXPECT_TRUE(WaitSetting(L"CheckAcceleratedScrolling", L"1"));
  EXPECT_TRUE(qvntest::WaitUntil([&] { return lastConfig() == "configuration 01 00"; }, 8000)) << lastConfig();
  sim_.Clear();
  host_.ClickItem(210, 0.05, 0.3);
  ASSERT_TRUE(host_.Apply());
  EXPECT_TRUE(WaitSetting(L"CheckAcceleratedScrolling", L"0"));
  EXPECT_TRUE(qvntest::WaitUntil([&] { return lastConfig() == "configuration 00 00"; }, 8000)) << lastConfig();
}

TEST_F(PagesWithExecutive, AppliedShortcutTogglesTheSpeeds) {
  SetSetting(L"PointerSpeed1", L"18");
  SetSetting(L"PointerSpeed2", L"4");
  ASSERT_TRUE(exec_.Start(0x8000 | 0x0100));
  ASSERT_TRUE(host_.Start(kPointerPage));
  host_.ClickItem(271, 0.1);
  host_.ClickItem(272, 0.1);
  host_.ClickItem(210, 0.1);  // Ctrl
  host_.ClickItem(211, 0.1);  // Alt
  host_.ClickItem(202);
  TapKey(VK_F8);
  ASSERT_TRUE(host_.WaitText(202, L"F8"));
  ASSERT_TRUE(host_.Apply());
  ASSERT_TRUE(WaitSetting(L"PointerSpeedToggleShortCut", std::to_wstring(0x3077)));
  ASSERT_EQ(Setting(L"CurrentSpeedSelected"), L"1");
  // Focus away from the key box (the hook sees keys typed into any window
  // of this process), then Ctrl+Alt+F8.
  host_.ClickItem(272, 0.6);  // the box's label area: toggles it...
  host_.ClickItem(272, 0.6);  // ...and back
  TapKey(VK_F8, true, true);
  EXPECT_TRUE(WaitSetting(L"CurrentSpeedSelected", L"2", 8000));
  TapKey(VK_F8, true, true);
  EXPECT_TRUE(WaitSetting(L"CurrentSpeedSelected", L"1", 8000));
}

TEST_F(PagesWithExecutive, BreakApplyRestartsTheReminderOnTheNewSchedule) {
  SetSetting(L"CheckBreakReminder", L"1");
  SetSetting(L"EditBreakTime", L"30");
  ASSERT_TRUE(exec_.Start(0xFFFF));
  ASSERT_TRUE(host_.Start(kBreakPage));
  host_.ClickItem(267);
  TapKey(VK_BACK);
  TapKey(VK_BACK);
  TypeText(L"7");
  ASSERT_TRUE(host_.WaitText(267, L"7"));
  ASSERT_TRUE(host_.Apply());
  EXPECT_TRUE(WaitSetting(L"EditBreakTime", L"7"));
  EXPECT_TRUE(log_.WaitFor("QMEXE: WM_RESET_BREAKTIMERS", 5000, exec_.Pid()));
  EXPECT_TRUE(log_.WaitFor("QMEXE: timer break remainder 7", 5000, exec_.Pid())) << "restarted with the new period";
}

}  // namespace
