// The device thread inside this test program, with a window of ours as the
// executive's main window, against the simulated driver and the stand-in
// setup tool.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dbwin_reader.h"
#include "device_thread.h"
#include "driver_update_request.h"
#include "driverlink_support.h"
#include "exec_app.h"
#include "qvnlog.h"
#include "qvntest.h"
#include "simdriver_client.h"
#include "window_waits.h"

using simdriver::SimDriver;

namespace {

std::vector<WPARAM> g_fstmEvents;  // state-machine events our window received

LRESULT CALLBACK TestMainProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_APP_QUORVANE_FSTM_EVENT) {
    g_fstmEvents.push_back(wParam);
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

const std::string kWired = "-DriverUpdate,USB\\VID_2F4C&PID_0A21,QVNMOUEXEC";
const std::string kWireless = "-DriverUpdate,USB\\VID_2F4C&PID_0A22,QVNMOUEXEC";

// The parameter text of a recorded call (its " elevated=N" cut off).
std::string Params(const std::string& call) { return call.substr(0, call.rfind(" elevated=")); }

class DeviceThread : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(sim_.EnsureStarted()) << sim_.LastError();
    ASSERT_TRUE(sim_.Reset());
    ASSERT_TRUE(log_.Start());
    saved_ = g_DebugLevel;
    g_DebugLevel = 0xFFFF;
    dltest::SetSetupAnswers("0");
    dltest::ClearSetupCalls();
    WNDCLASSW wc{};
    wc.lpfnWndProc = TestMainProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"QvnDriverLinkTestMain";
    RegisterClassW(&wc);
    g_hMainWnd = CreateWindowExW(0, wc.lpszClassName, L"", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                 wc.hInstance, nullptr);
    ASSERT_NE(g_hMainWnd, nullptr);
    g_fstmEvents.clear();
  }
  void TearDown() override {
    QMEThreadDeviceRequestExitAndWait(&data_);
    DestroyWindow(g_hMainWnd);
    g_hMainWnd = nullptr;
    g_DebugLevel = saved_;
    sim_.Replug();
  }

  size_t Lines(const std::string& text) {  // every line written so far counted
    EXPECT_TRUE(log_.Drain());
    return log_.Count("QMEXE: " + text, GetCurrentProcessId());
  }
  bool WaitLine(const std::string& text, size_t n = 1, DWORD ms = 5000) {
    return qvntest::PumpUntil([&] { return log_.Count("QMEXE: " + text, GetCurrentProcessId()) >= n; }, ms);
  }
  bool WaitOneWait() {
    return qvntest::PumpUntil([&] {
      QvnSimStatus s;
      return sim_.Status(&s) && s.pendingWaits == 1 && s.filterHandles == 1;
    }, 8000);
  }
  QvnSimStatus Status() {
    QvnSimStatus s{};
    EXPECT_TRUE(sim_.Status(&s));
    return s;
  }
  bool Start() { return QMEThreadDeviceStart(&data_, QVN_FILTER_DEVICE_NAME); }
  // Both identifiers' updates one after the other, as the worker runs them (ExecLink).
  static void UpdateBoth() {
    for (int i = 0; i < qvn::kMouseHardwareIdCount; ++i) QMEDeviceInternalFiltersInstall(qvn::MouseHardwareId(i));
  }

  SimDriver sim_;
  DbwinReader log_;
  QMEThreadDeviceData data_{};
  DWORD saved_ = 0;
};

TEST_F(DeviceThread, FirstPassOpensConfiguresAndWaitsOnce) {
  ASSERT_TRUE(Start());
  ASSERT_TRUE(WaitOneWait());
  QvnSimStatus s = Status();
  EXPECT_EQ(s.filterOpens, 1u);
  EXPECT_EQ(s.configLoads, 1u);
  EXPECT_EQ(s.waitsStarted, 1u);
  // The first pass starts the wait without asking for a result.
  EXPECT_EQ(Lines("QMEDeviceFilter::GetOverlappedResult failed! 996"), 0u);
  EXPECT_EQ(Lines("Link Thread, end"), 0u);

  // A second start is refused and leaves the running thread alone.
  HANDLE running = data_.hThread;
  EXPECT_FALSE(Start());
  EXPECT_EQ(data_.hThread, running);
  EXPECT_TRUE(WaitLine("QMEThreadDeviceStart NULL != pThreadData->hThread!"));
  EXPECT_EQ(Status().filterOpens, 1u);

  QMEThreadDeviceRequestExitAndWait(&data_);
  EXPECT_EQ(data_.hThread, nullptr);
  EXPECT_EQ(data_.hEventStop, nullptr);
  s = Status();
  EXPECT_EQ(s.pendingWaits, 0u);
  EXPECT_EQ(s.filterHandles, 0u);
  EXPECT_TRUE(WaitLine("Link Thread, user request stop!"));
  EXPECT_TRUE(WaitLine("Link Thread, end"));

  QMEThreadDeviceRequestExitAndWait(&data_);
  EXPECT_TRUE(WaitLine("QMEThreadDeviceRequestExitAndWait: hThread not running."));
}

TEST_F(DeviceThread, RestartClosesAndReopensWithOneWait) {
  ASSERT_TRUE(Start());
  ASSERT_TRUE(WaitOneWait());
  for (int i = 0; i < 3; ++i) {
    QMEThreadDeviceSignalRestart(&data_);
    ASSERT_TRUE(qvntest::PumpUntil([&] { return Status().filterOpens == 2u + i; }, 8000));
    ASSERT_TRUE(WaitOneWait());
  }
  QvnSimStatus s = Status();
  EXPECT_EQ(s.configLoads, 4u);
  EXPECT_EQ(s.waitsCancelled, 3u);
}

TEST_F(DeviceThread, AbsentMouseIsReportedOnceAndOpenedAfterReplugAndDeviceChange) {
  ASSERT_TRUE(sim_.Unplug());
  ASSERT_TRUE(Start());
  ASSERT_TRUE(WaitLine("QmeThreadDeviceRun DeviceFilterControl.Create failed. No device present."));
  // A settings change while absent reloads but sends nothing.
  QMEThreadDeviceSignalConfigChange(&data_);
  ASSERT_TRUE(WaitLine("wait for ConfigChange"));
  qvntest::PumpFor(200);
  EXPECT_EQ(Lines("QmeThreadDeviceRun DeviceFilterControl.Create failed. No device present."), 1u);
  EXPECT_TRUE(sim_.Configurations().empty());

  ASSERT_TRUE(sim_.Replug());
  QMEThreadDeviceSignalDeviceChange(&data_);
  ASSERT_TRUE(WaitOneWait());
  EXPECT_EQ(sim_.Configurations().size(), 1u);
  EXPECT_EQ(Lines("QmeThreadDeviceRun DeviceFilterControl.Create failed. No device present."), 1u);
}

TEST_F(DeviceThread, OddRecordsAreRoutedByButtonIdFirstThenByType) {
  ASSERT_TRUE(Start());
  ASSERT_TRUE(WaitOneWait());
  struct Rec { int32_t type; uint16_t button; };
  // To the dispatcher: pressed/released whatever the button, and every
  // button id from 50 up whatever the type (51 carries a wheel delta).
  const Rec toDispatcher[] = {{1, 0}, {2, 0}, {1, 9}, {2, 9}, {0, 50}, {0, 51}, {0xFFFF, 51}, {4, 51}, {-1, 65535}};
  // Dropped: unknown types below 50.
  const Rec dropped[] = {{0, 2}, {3, 2}, {5, 2}, {-1, 2}};
  size_t sent = 0;
  for (const Rec& r : toDispatcher) { ASSERT_TRUE(sim_.Raw(r.type, r.button)); ++sent; }
  for (const Rec& r : dropped) { ASSERT_TRUE(sim_.Raw(r.type, r.button)); ++sent; }
  ASSERT_TRUE(sim_.Move());
  ++sent;
  ASSERT_TRUE(qvntest::PumpUntil([&] { return log_.CountPrefix("QMEXE: Event from driver. ", GetCurrentProcessId()) >= sent; }, 8000));
  ASSERT_TRUE(WaitOneWait());
  EXPECT_EQ(Lines(">>> ExecuteFunctions"), sizeof(toDispatcher) / sizeof(toDispatcher[0]));
  EXPECT_EQ(Lines("Event from driver. EventType:65535 btnId:51"), 1u);
  EXPECT_EQ(Lines("Event from driver. EventType:-1 btnId:2"), 1u);
  EXPECT_EQ(Lines("Event from driver. EventType:-1 btnId:65535"), 1u);
  // Only the one move reached the window as state-machine event 0.
  size_t moves = 0;
  for (WPARAM e : g_fstmEvents) moves += e == 0;
  EXPECT_EQ(moves, 1u);
  EXPECT_EQ(Lines("Link Thread, end"), 0u);
}

TEST_F(DeviceThread, StopWhileBlockedInASendToTheMainWindowDoesNotDeadlock) {
  ASSERT_TRUE(Start());
  ASSERT_TRUE(WaitOneWait());
  ASSERT_TRUE(sim_.Move());
  // This thread does not serve messages now, so the device thread is stuck
  // in its synchronous send once the driver has handed the record over.
  ASSERT_TRUE(qvntest::WaitUntil([&] { return Lines("Event from driver. EventType:4 btnId:0") == 1; }, 5000));
  Sleep(100);
  EXPECT_TRUE(g_fstmEvents.empty());
  EXPECT_EQ(Status().pendingWaits, 0u);  // the next wait is not started yet

  struct Watch {
    HANDLE done;
    static DWORD WINAPI Run(void* p) {
      if (WaitForSingleObject(static_cast<Watch*>(p)->done, 15000) == WAIT_TIMEOUT) {
        fprintf(stderr, "device thread stop deadlocked\n");
        ExitProcess(3);
      }
      return 0;
    }
  } watch{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
  HANDLE watcher = CreateThread(nullptr, 0, Watch::Run, &watch, 0, nullptr);
  QMEThreadDeviceRequestExitAndWait(&data_);
  SetEvent(watch.done);
  WaitForSingleObject(watcher, INFINITE);
  CloseHandle(watcher);
  CloseHandle(watch.done);

  EXPECT_EQ(g_fstmEvents, std::vector<WPARAM>{0});
  EXPECT_TRUE(WaitLine("Link Thread, end"));
  EXPECT_EQ(Status().filterHandles, 0u);
}

TEST_F(DeviceThread, QuitPostedDuringTheStopWaitReachesTheCallersLoop) {
  ASSERT_TRUE(Start());
  ASSERT_TRUE(WaitOneWait());
  PostQuitMessage(7);
  QMEThreadDeviceRequestExitAndWait(&data_);
  MSG msg;
  ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 7u);
}

TEST_F(DeviceThread, ThreadMessagesAreServed) {
  ASSERT_TRUE(Start());
  ASSERT_TRUE(WaitOneWait());
  ASSERT_TRUE(PostThreadMessageW(GetThreadId(data_.hThread), WM_USER + 5, 0, 0));
  EXPECT_TRUE(WaitLine("MsgWaitForMultipleObjects message received"));
  ASSERT_TRUE(sim_.Press(2));
  EXPECT_TRUE(WaitLine("Event from driver. EventType:1 btnId:2"));
}

// --- driver update -------------------------------------------------------------

TEST_F(DeviceThread, DriverUpdateDeniedIsRetriedElevatedOnce) {
  dltest::SetSetupAnswers("5 0 0");
  UpdateBoth();
  auto calls = dltest::SetupCalls();
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_EQ(Params(calls[0]), kWired);
  EXPECT_EQ(Params(calls[1]), kWired);
  EXPECT_EQ(Params(calls[2]), kWireless);
  EXPECT_EQ(Lines("QMEDeviceInternalFiltersInstall ERROR_ACCESS_DENIED!"), 1u);
  // Under Wine "runas" starts the program like any other start; what the
  // elevated run saw of its token is part of the record.
  RecordProperty("unelevated_call", calls[0]);
  RecordProperty("elevated_call", calls[1]);
  printf("setup tool calls: [%s] [%s]\n", calls[0].c_str(), calls[1].c_str());
}

TEST_F(DeviceThread, DriverUpdateAlwaysDeniedGivesUpAfterTheCap) {
  dltest::SetSetupAnswers("5");
  UpdateBoth();
  auto calls = dltest::SetupCalls();
  const size_t perId = 1 + kQmeDriverUpdateElevatedAttempts;
  ASSERT_EQ(calls.size(), 2 * perId);
  for (size_t i = 0; i < perId; ++i) {
    EXPECT_EQ(Params(calls[i]), kWired);
    EXPECT_EQ(Params(calls[perId + i]), kWireless);
  }
  const char giveUp[] = "QMEDeviceInternalFiltersInstall still denied after 3 elevated runs, giving up!";
  EXPECT_TRUE(WaitLine(giveUp, 2) && Lines(giveUp) == 2);
}

TEST_F(DeviceThread, DriverUpdateOtherExitCodeIsAFailure) {
  dltest::SetSetupAnswers("0x80070002");
  UpdateBoth();
  EXPECT_EQ(dltest::SetupCalls().size(), 2u);
  const char failed[] = "QMEDeviceInternalFiltersInstall ExitCode unexpected failure!";
  EXPECT_TRUE(WaitLine(failed, 2) && Lines(failed) == 2);
  EXPECT_EQ(Lines("QMEDeviceInternalFiltersInstall ERROR_ACCESS_DENIED!"), 0u);
}

}  // namespace
