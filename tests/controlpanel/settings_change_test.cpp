// The road of a settings change end to end: the executive runs against the
// simulated mouse, a person chooses "Right Click" for button 1 on the
// Buttons page of the Mouse control panel and applies; the executive is
// told, reloads, and button 1 now clicks the right button.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cpl_registration.h"
#include "cpl_sheet_driver.h"
#include "dispatch_fixture.h"
#include "exec_runner.h"
#include "qvntest.h"
#include "user_settings.h"

using namespace dispatchtest;
using V = std::vector<std::string>;

namespace {

class CplSettingsChange : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(qvntest::RegisterControlPanel());
    ASSERT_TRUE(StartSimDriver(sim_)) << sim_.LastError();
    ASSERT_TRUE(sim_.Reset());
    ClearButtonSettings();
    ASSERT_TRUE(home_.Start(L"qvn_testwin_plain.exe", L"cpl home", 700, 700, 300, 200));
  }
  void TearDown() override {
    if (exec_.Proc().Running()) exec_.Exit();
    ClearButtonSettings();
  }
  V Drive(int32_t type, uint16_t button) {
    EXPECT_TRUE(home_.PutCursorOver());
    return DriveRaw(sim_, type, button);
  }

  simdriver::SimDriver sim_;
  qvntest::ExecRunner exec_;
  TestWindow home_;
};

TEST_F(CplSettingsChange, RightClickChosenForButtonOneIsInjectedAfterApply) {
  ASSERT_TRUE(exec_.Start(0));
  ASSERT_TRUE(sim_.WaitOneWaitOutstanding(15000));
  EXPECT_EQ(Drive(1, 1), V{"left-button down"});
  EXPECT_EQ(Drive(2, 1), V{"left-button up"});

  cpltest::CplSheet sheet;
  ASSERT_TRUE(sheet.Open());
  ASSERT_TRUE(sheet.ShowTab(L"Buttons"));
  ASSERT_TRUE(sheet.Choose(212, L"Right Click"));
  HWND apply = GetDlgItem(sheet.Sheet(), cpltest::CplSheet::kApply);
  ASSERT_TRUE(qvntest::WaitUntil([&] { return IsWindowEnabled(apply) != FALSE; }, 5000));
  ASSERT_TRUE(sim_.Clear());
  ASSERT_TRUE(sheet.ClickSheetButton(cpltest::CplSheet::kApply));
  EXPECT_TRUE(qvntest::WaitSetting(L"MButton1", L"2", 10000));
  // The executive's device thread reloads and sends the driver its
  // configuration again.
  EXPECT_TRUE(sim_.WaitLog([](const std::vector<simdriver::LogEntry>& log) {
    for (const auto& e : log) {
      if (e.kind == simdriver::Inject::Config) return true;
    }
    return false;
  }, 10000));
  ASSERT_TRUE(sim_.WaitOneWaitOutstanding(15000));

  EXPECT_EQ(Drive(1, 1), V{"right-button down"});
  EXPECT_EQ(Drive(2, 1), V{"right-button up"});
  ASSERT_TRUE(sheet.ClickSheetButton(IDCANCEL));
  EXPECT_TRUE(sheet.WaitClosed());
}

}  // namespace
