// The executive as a whole against the simulated mouse: absence and
// replug, settings changes reaching the driver, session lock and unlock,
// a failed wait, and what a button press makes it inject.
#include <gtest/gtest.h>
#include <windows.h>
#include <dbt.h>

#include <cstddef>
#include <string>
#include <vector>

#include "dbwin_reader.h"
#include "device_arrivals_table.h"
#include "driverlink_support.h"
#include "exec_runner.h"
#include "qvn_messages.h"
#include "qvntest.h"
#include "simdriver_client.h"
#include "user_settings.h"
#include "users_day_table.h"

using simdriver::Inject;
using simdriver::SimDriver;
using namespace qvntest;

namespace {

const char kNoDevice[] = "QmeThreadDeviceRun DeviceFilterControl.Create failed. No device present.";

constexpr WPARAM kConsoleConnect = 1, kConsoleDisconnect = 2, kSessionLock = 7, kSessionUnlock = 8;
const char kWired[] = "-DriverUpdate,USB\\VID_2F4C&PID_0A21,QVNMOUEXEC";
const char kWireless[] = "-DriverUpdate,USB\\VID_2F4C&PID_0A22,QVNMOUEXEC";

class ExecLink : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(sim_.EnsureStarted()) << sim_.LastError();
    ASSERT_TRUE(sim_.Reset());
    ASSERT_TRUE(log_.Start());
    dltest::SetSetupAnswers("0");
    dltest::ClearSetupCalls();
    hadAccel_ = RegGetString(HKEY_CURRENT_USER, kMouseKey, L"CheckAcceleratedScrolling", &savedAccel_);
    SetAccel(L"0");
  }
  void TearDown() override {
    if (exec_.Window()) {
      DWORD code = 99;
      EXPECT_TRUE(exec_.Exit(&code));
      EXPECT_EQ(code, 0u);
    }
    SetDebugLevel(0);
    if (hadAccel_) SetAccel(savedAccel_);
    else RegRemoveValue(HKEY_CURRENT_USER, kMouseKey, L"CheckAcceleratedScrolling");
    sim_.Replug();
  }

  void SetAccel(const std::wstring& v) {
    ASSERT_TRUE(RegSetString(HKEY_CURRENT_USER, kMouseKey, L"CheckAcceleratedScrolling", v));
  }
  size_t Lines(const std::string& text) {  // every line written so far counted
    EXPECT_TRUE(log_.Drain());
    return log_.Count("QMEXE: " + text, exec_.Pid());
  }
  bool WaitLine(const std::string& text, size_t n = 1, DWORD ms = 8000) {
    return log_.WaitFor("QMEXE: " + text, ms, exec_.Pid(), n);
  }
  QvnSimStatus Status() {
    QvnSimStatus s{};
    EXPECT_TRUE(sim_.Status(&s));
    return s;
  }
  // Sent as Windows would deliver it; a time-out means the main thread hung.
  bool Send(UINT msg, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(exec_.Window(), msg, wParam, lParam, SMTO_NORMAL, 15000, &result) != 0;
  }
  bool Session(WPARAM code) { return Send(WM_WTSSESSION_CHANGE, code, static_cast<LPARAM>(CurrentSessionId())); }
  bool StartExec() {
    if (!exec_.Start(0xFFFF)) return false;
    return true;
  }
  bool OneWait() { return sim_.WaitOneWaitOutstanding(10000); }
  // A device interface arriving, as Windows announces it.
  bool Arrive(const std::wstring& path) {
    std::vector<BYTE> buf(offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name) + (path.size() + 1) * sizeof(wchar_t));
    auto* d = reinterpret_cast<DEV_BROADCAST_DEVICEINTERFACE_W*>(buf.data());
    d->dbcc_size = static_cast<DWORD>(buf.size());
    d->dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    memcpy(d->dbcc_name, path.c_str(), (path.size() + 1) * sizeof(wchar_t));
    return Send(WM_DEVICECHANGE, DBT_DEVICEARRIVAL, reinterpret_cast<LPARAM>(d));
  }
  // The setup tool's runs so far (a bounded wait for their number), their parameters only, are these.
  bool RunsAre(const std::vector<std::string>& runs) {
    WaitUntil([&] { return dltest::SetupCalls().size() >= runs.size(); }, 10000);
    std::vector<std::string> made;
    for (const std::string& call : dltest::SetupCalls()) made.push_back(call.substr(0, call.rfind(" elevated=")));
    return made == runs;
  }
  // A script of steps (tables/users_day.txt tells them); a step that fails ends it.
  void Run(const std::vector<std::vector<std::string>>& script) {
    std::vector<std::string> runs;
    size_t arrivals = 0;
    for (const auto& step : script) {
      const std::string& v = step[0];
      const std::string a = step.size() > 1 ? step[1] : "", b = step.size() > 2 ? step[2] : "";
      bool ok = true;
      if (v == "start") ok = StartExec();
      else if (v == "setup delay") dltest::SetSetupDelay(std::stoul(a));
      else if (v == "wait") ok = OneWait();
      else if (v == "works")
        ok = OneWait() && sim_.Clear() && sim_.Press(3) && sim_.Release(3) &&
             WaitUntil([&] { return sim_.Injections() == std::vector<Inject>{Inject::RightDown, Inject::RightUp}; }, 8000);
      else if (v == "unplug" || v == "replug") ok = v == "unplug" ? sim_.Unplug() : sim_.Replug();
      else if (v == "fail waits") ok = sim_.FailWaits();
      else if (v == "no handle") ok = sim_.WaitStatus([](const QvnSimStatus& s) { return !s.filterHandles && !s.pendingWaits; }, 8000);
      else if (v == "send") ok = Send(std::stoul(a, nullptr, 0), std::stoul(b, nullptr, 0), 0);
      else if (v == "session") ok = Session(std::stoul(a));
      else if (v == "line" || v == "count") ok = v == "line" ? WaitLine(b, std::stoul(a), 30000) : Lines(b) == std::stoul(a);
      else if (v == "runs") {
        runs.assign(step.begin() + 1, step.end());
        for (std::string& n : runs) n = n == "wired" ? kWired : kWireless;
        ok = RunsAre(runs);
      } else if (v == "arrivals") {
        for (const auto& d : kTable_device_arrivals) {
          if (std::stoul(d[1]) & 1) runs.push_back(kWired);
          if (std::stoul(d[1]) & 2) runs.push_back(kWireless);
          ok = ok && Arrive(Wide(d[0])) && WaitLine("DBT_DEVICEARRIVAL or DBT_DEVICEREMOVECOMPLETE", ++arrivals) && RunsAre(runs);
        }
      } else {
        ok = false;
      }
      ASSERT_TRUE(ok) << "step: " << v << " " << a << " " << b;
    }
  }

  SimDriver sim_;
  DbwinReader log_;
  ExecRunner exec_;
  std::wstring savedAccel_;
  bool hadAccel_ = false;
};

TEST_F(ExecLink, AbsentMouseIsLoggedOnceAndAReplugIsPickedUpOnDeviceArrival) {
  ASSERT_TRUE(sim_.Unplug());
  ASSERT_TRUE(StartExec());
  ASSERT_TRUE(WaitLine(kNoDevice));
  Sleep(500);
  EXPECT_EQ(Lines(kNoDevice), 1u);
  EXPECT_TRUE(sim_.Configurations().empty());

  ASSERT_TRUE(sim_.Replug());
  ASSERT_TRUE(Send(WM_DEVICECHANGE, DBT_DEVICEARRIVAL, 0));
  ASSERT_TRUE(OneWait());
  auto configs = sim_.Configurations();
  ASSERT_EQ(configs.size(), 1u);
  EXPECT_EQ(configs[0].input[0], 0);
  EXPECT_EQ(configs[0].input[1], 0);
  EXPECT_EQ(Lines(kNoDevice), 1u);
  // Both identifiers updated once, at the start; an arrival naming no mouse of ours starts none.
  EXPECT_TRUE(WaitUntil([] { return dltest::SetupCalls().size() == 2; }, 10000));
}

TEST_F(ExecLink, DriverUpdatesRunBesideTheLinkWhichComesBackAfterEveryDisturbanceWithoutALockOrUnlock) {
  Run(kTable_users_day);
}

TEST_F(ExecLink, SettingsChangeResendsTheConfigurationWithTheNewScrollingByte) {
  ASSERT_TRUE(StartExec());
  ASSERT_TRUE(OneWait());
  ASSERT_EQ(sim_.Configurations().size(), 1u);
  bool reported = true;
  ASSERT_TRUE(sim_.Wheel(120, &reported));
  EXPECT_FALSE(reported);

  SetAccel(L"1");
  ASSERT_TRUE(Send(WM_APP_QUORVANE_SETTINGS_UPDATED, 3, 0));
  ASSERT_TRUE(sim_.WaitLog([](const std::vector<simdriver::LogEntry>& log) {
    return !log.empty() && log.back().kind == Inject::Config && log.back().input[0] == 1;
  }, 8000));
  EXPECT_EQ(Status().acceleratedScrolling, 1u);
  // The driver now reports wheel notches, and they reach the executive.
  ASSERT_TRUE(sim_.Wheel(-120, &reported));
  EXPECT_TRUE(reported);
  EXPECT_TRUE(WaitLine("Event from driver. EventType:65416 btnId:51"));

  // Two quick changes: the second reload may absorb the first; the driver
  // ends up with the latest value either way.
  const size_t before = sim_.Configurations().size();
  SetAccel(L"0");
  PostMessageW(exec_.Window(), WM_APP_QUORVANE_SETTINGS_UPDATED, 3, 0);
  PostMessageW(exec_.Window(), WM_APP_QUORVANE_SETTINGS_UPDATED, 3, 0);
  ASSERT_TRUE(WaitLine("wait for ConfigChange", 2));
  ASSERT_TRUE(sim_.WaitStatus([](const QvnSimStatus& s) { return s.acceleratedScrolling == 0; }, 8000));
  Sleep(300);
  const size_t after = sim_.Configurations().size();
  EXPECT_GE(after, before + 1);
  EXPECT_LE(after, before + 2);
  EXPECT_EQ(sim_.Configurations().back().input[0], 0);
  EXPECT_TRUE(OneWait());
}

TEST_F(ExecLink, LockUnlockCyclesReopenAndLeaveExactlyOneWait) {
  ASSERT_TRUE(StartExec());
  ASSERT_TRUE(OneWait());
  for (uint32_t cycle = 1; cycle <= 3; ++cycle) {
    ASSERT_TRUE(Session(kSessionLock));
    QvnSimStatus s = Status();
    EXPECT_EQ(s.filterHandles, 0u) << "cycle " << cycle;
    EXPECT_EQ(s.pendingWaits, 0u) << "cycle " << cycle;
    EXPECT_TRUE(WaitLine("Link Thread, end", cycle));
    ASSERT_TRUE(Session(kSessionUnlock));
    ASSERT_TRUE(OneWait()) << "cycle " << cycle;
    s = Status();
    EXPECT_EQ(s.filterOpens, 1 + cycle);
    EXPECT_EQ(s.configLoads, 1 + cycle);
  }
  Sleep(300);
  EXPECT_EQ(Status().pendingWaits, 1u);
  // And the link still works after the cycles.
  ASSERT_TRUE(sim_.Press(3));
  EXPECT_TRUE(WaitLine("Event from driver. EventType:1 btnId:3"));
}

TEST_F(ExecLink, UnlockWhileConsoleDisconnectedStaysStoppedUntilConnect) {
  ASSERT_TRUE(StartExec());
  ASSERT_TRUE(OneWait());
  ASSERT_TRUE(Session(kSessionLock));
  ASSERT_TRUE(Session(kConsoleDisconnect));
  ASSERT_TRUE(Session(kSessionUnlock));
  Sleep(500);
  QvnSimStatus s = Status();
  EXPECT_EQ(s.filterHandles, 0u);
  EXPECT_EQ(s.filterOpens, 1u);
  ASSERT_TRUE(Session(kConsoleConnect));
  ASSERT_TRUE(OneWait());
  EXPECT_EQ(Status().filterOpens, 2u);
}

TEST_F(ExecLink, LockWhileMovesFlowToTheMainWindowDoesNotHang) {
  ASSERT_TRUE(StartExec());
  ASSERT_TRUE(OneWait());
  for (int i = 0; i < 60; ++i) ASSERT_TRUE(sim_.Move());
  // The device thread is busy sending state-machine events to the main
  // window while that window is asked to stop it.
  ASSERT_TRUE(Session(kSessionLock));
  EXPECT_TRUE(WaitLine("Link Thread, end"));
  EXPECT_EQ(Status().filterHandles, 0u);
  ASSERT_TRUE(Session(kSessionUnlock));
  EXPECT_TRUE(OneWait());
}

TEST_F(ExecLink, PressAndReleaseOfButton3InjectRightButtonDownThenUp) {
  ASSERT_TRUE(RegSetString(HKEY_CURRENT_USER, kMouseKey, L"MButton3", L"2"));  // right click
  ASSERT_TRUE(StartExec());
  ASSERT_TRUE(OneWait());
  ASSERT_TRUE(sim_.Press(3));
  ASSERT_TRUE(sim_.Release(3));
  ASSERT_TRUE(WaitLine("Event from driver. EventType:2 btnId:3"));
  EXPECT_TRUE(sim_.WaitLog([](const std::vector<simdriver::LogEntry>& log) {
    size_t n = 0;
    for (const auto& e : log) n += e.IsInjection();
    return n >= 2;
  }, 5000));
  EXPECT_EQ(sim_.Injections(), (std::vector<Inject>{Inject::RightDown, Inject::RightUp}));
  // No handle on the control device is left open.
  EXPECT_TRUE(sim_.WaitStatus([](const QvnSimStatus& s) { return s.controlHandles == 0; }, 8000));
  RegRemoveValue(HKEY_CURRENT_USER, kMouseKey, L"MButton3");
}

}  // namespace
