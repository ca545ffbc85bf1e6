// Keys and buttons the executive injected down are let go when its driver
// link stops (lock, failed wait, not another device arriving) and at Exit; presses made
// before the stop do nothing when their release arrives later. And the
// link's lifecycle while a stop is still waiting for the device thread:
// further stops fold into it, an unlock ends with a running link.
#include <gtest/gtest.h>
#include <windows.h>
#include <dbt.h>

#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "dbwin_reader.h"
#include "driverlink_support.h"
#include "exec_runner.h"
#include "qvntest.h"
#include "simdriver_client.h"
#include "user_settings.h"

using simdriver::Inject;
using simdriver::LogEntry;
using simdriver::SimDriver;
using namespace qvntest;

namespace {

const char kToLocked[] =
    "FSTM Event 2.\n       From QMS_STA_CLICKLOCK_WAITING_AND_AUTOCLICK_ENABLED,L (1) >>>> to "
    "QMS_STA_CLICKLOCK_LOCKED_AND_AUTOCLICK_ENABLED (2)";
const wchar_t* const kSettingNames[] = {L"MButton1", L"MButton3", L"MButton4", L"CheckClickLock", L"QvnClickLockTime"};

// What an injection looks like in the driver's log: its kind, and for keys
// the scan code.
struct Input {
  Inject down, up;
  UINT vk;  // 0 for a mouse button
};
const Input kShift{Inject::KeyDown, Inject::KeyUp, VK_SHIFT};
const Input kCtrl{Inject::KeyDown, Inject::KeyUp, VK_CONTROL};
const Input kLeft{Inject::LeftDown, Inject::LeftUp, 0};

bool Is(const LogEntry& e, Inject kind, UINT vk) {
  if (e.kind != kind) return false;
  return vk == 0 || e.ScanCode() == MapVirtualKeyW(vk, MAPVK_VK_TO_VSC);
}
size_t CountOf(const std::vector<LogEntry>& log, Inject kind, UINT vk) {
  size_t n = 0;
  for (const auto& e : log) n += Is(e, kind, vk);
  return n;
}
// The down is in the log and an up of the same input follows it.
bool DownThenUp(const std::vector<LogEntry>& log, const Input& in) {
  bool down = false;
  for (const auto& e : log) {
    if (Is(e, in.down, in.vk)) down = true;
    else if (down && Is(e, in.up, in.vk)) return true;
  }
  return false;
}

enum class Stop { Lock, Exit, FailedWait };

class HeldInput : public ::testing::Test {
 protected:
  void SetUp() override {
    // In a fresh prefix the driver host takes a while before the first
    // start succeeds.
    ASSERT_TRUE(WaitUntil([&] { return sim_.EnsureStarted(); }, 90000, 1000)) << sim_.LastError();
    ASSERT_TRUE(sim_.Reset());
    ASSERT_TRUE(log_.Start());
    dltest::SetSetupAnswers("0");
    dltest::SetSetupDelay(0);
    dltest::ClearSetupCalls();
    for (const wchar_t* n : kSettingNames) RegRemoveValue(HKEY_CURRENT_USER, kMouseKey, n);
  }
  void TearDown() override {
    dltest::SetSetupDelay(0);
    if (exec_.Window()) {
      DWORD code = 99;
      EXPECT_TRUE(exec_.Exit(&code));
      EXPECT_EQ(code, 0u);
    }
    SetDebugLevel(0);
    for (const wchar_t* n : kSettingNames) RegRemoveValue(HKEY_CURRENT_USER, kMouseKey, n);
    sim_.Replug();
  }

  void Set(const wchar_t* name, const wchar_t* value) {
    ASSERT_TRUE(RegSetString(HKEY_CURRENT_USER, kMouseKey, name, value));
  }
  bool StartExec() { return exec_.Start(0xFFFF) && sim_.WaitOneWaitOutstanding(15000); }
  bool WaitLine(const std::string& text, size_t n = 1, DWORD ms = 8000) {
    return log_.WaitFor("QMEXE: " + text, ms, exec_.Pid(), n);
  }
  bool Send(UINT msg, WPARAM wParam, LPARAM lParam, DWORD ms = 15000) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(exec_.Window(), msg, wParam, lParam, SMTO_NORMAL, ms, &result) != 0;
  }
  bool Session(WPARAM code) { return Send(WM_WTSSESSION_CHANGE, code, static_cast<LPARAM>(CurrentSessionId())); }
  bool WaitDownThenUp(const Input& in, DWORD ms = 15000) {
    return sim_.WaitLog([&](const std::vector<LogEntry>& log) { return DownThenUp(log, in); }, ms);
  }
  bool WaitDown(const Input& in, DWORD ms = 15000) {
    return sim_.WaitLog([&](const std::vector<LogEntry>& log) { return CountOf(log, in.down, in.vk) > 0; }, ms);
  }

  // Holds `button` (with its function `held` injected down), stops the link
  // the given way and expects the up in the driver's log.
  void HoldThenStop(uint16_t button, const Input& held, Stop stop, const char* lineBeforeStop = nullptr,
                    bool releaseBeforeStop = false) {
    ASSERT_TRUE(sim_.Press(button));
    ASSERT_TRUE(WaitDown(held));
    if (lineBeforeStop) {
      ASSERT_TRUE(WaitLine(lineBeforeStop));
    }
    if (releaseBeforeStop) {
      ASSERT_TRUE(sim_.Release(button));
      ASSERT_TRUE(WaitLine("Event from driver. EventType:2 btnId:" + std::to_string(button)));
    }
    Sleep(100);
    EXPECT_FALSE(DownThenUp(sim_.Log(), held)) << "still held before the stop";
    switch (stop) {
      case Stop::Lock: ASSERT_TRUE(Session(WTS_SESSION_LOCK)); break;
      case Stop::Exit: {
        DWORD code = 99;
        ASSERT_TRUE(exec_.Exit(&code));
        EXPECT_EQ(code, 0u);
        break;
      }
      case Stop::FailedWait: ASSERT_TRUE(sim_.FailWaits()); break;
    }
    EXPECT_TRUE(WaitDownThenUp(held)) << "the up follows the stop";
  }

  SimDriver sim_;
  DbwinReader log_;
  ExecRunner exec_;
};

TEST_F(HeldInput, ShiftHeldThroughALockIsReleasedAndTheNextPressAfterUnlockStartsClean) {
  Set(L"MButton3", L"41");  // Shift
  ASSERT_TRUE(StartExec());
  HoldThenStop(3, kShift, Stop::Lock);
  // The button is let go while locked: the driver keeps that release until
  // the link is back.
  ASSERT_TRUE(sim_.Clear());
  ASSERT_TRUE(sim_.Release(3));
  ASSERT_TRUE(Session(WTS_SESSION_UNLOCK));
  ASSERT_TRUE(WaitLine("Event from driver. EventType:2 btnId:3"));
  ASSERT_TRUE(sim_.Press(3));
  ASSERT_TRUE(sim_.Release(3));
  ASSERT_TRUE(WaitDownThenUp(kShift));
  Sleep(300);
  const auto log = sim_.Log();
  EXPECT_EQ(CountOf(log, Inject::KeyDown, VK_SHIFT), 1u);
  EXPECT_EQ(CountOf(log, Inject::KeyUp, VK_SHIFT), 1u) << "the late release of the earlier press sent nothing";
  EXPECT_EQ(sim_.Injections(), (std::vector<Inject>{Inject::KeyDown, Inject::KeyUp}));
}

TEST_F(HeldInput, CtrlHeldAtExitIsReleased) {
  Set(L"MButton4", L"10");  // Ctrl
  ASSERT_TRUE(StartExec());
  HoldThenStop(4, kCtrl, Stop::Exit);
}

TEST_F(HeldInput, LeftButtonHeldByClickLockAtExitIsReleased) {
  Set(L"MButton1", L"1");  // left click
  Set(L"CheckClickLock", L"1");
  Set(L"QvnClickLockTime", L"0.3");
  ASSERT_TRUE(StartExec());
  // Held past the lock time, then let go: the lock keeps the button down.
  HoldThenStop(1, kLeft, Stop::Exit, kToLocked, /*releaseBeforeStop=*/true);
}

TEST_F(HeldInput, HeldKeysAreReleasedWhenAWaitFailsButNotWhenAnotherDeviceArrives) {
  Set(L"MButton3", L"41");
  ASSERT_TRUE(StartExec());
  ASSERT_TRUE(sim_.Press(3));
  ASSERT_TRUE(WaitDown(kShift));
  ASSERT_TRUE(Send(WM_DEVICECHANGE, DBT_DEVICEARRIVAL, 0));  // a headset, a keyboard
  ASSERT_TRUE(WaitLine("QmeThreadDeviceRun device change, the driver stays open"));
  EXPECT_FALSE(DownThenUp(sim_.Log(), kShift)) << "Shift stays down while the button is held";
  ASSERT_TRUE(sim_.Release(3));
  ASSERT_TRUE(WaitDownThenUp(kShift));
  ASSERT_TRUE(sim_.Clear());
  HoldThenStop(3, kShift, Stop::FailedWait);
  Sleep(300);
  EXPECT_EQ(sim_.Injections(), (std::vector<Inject>{Inject::KeyDown, Inject::KeyUp}));
}

// A stop that has to wait: the device thread is inside a driver update
// (the stand-in setup tool takes its time) when the lock arrives. Further
// session changes reach the main window while it waits.
class LinkLifecycle : public HeldInput {
 protected:
  // A press whose injection the driver holds `delayMs` (a slow pass), then the lock
  // from another thread, once it is being handled. Returns that thread; its result lands in lockSent_.
  std::thread LockDuringASlowPass(DWORD delayMs) {
    EXPECT_TRUE(sim_.StallNextInjection(delayMs));
    EXPECT_TRUE(sim_.Press(3));
    EXPECT_TRUE(WaitLine("Event from driver. EventType:1 btnId:3")) << "the press is being served";
    HWND window = exec_.Window();
    LPARAM session = static_cast<LPARAM>(CurrentSessionId());
    std::thread lock([this, window, session] {
      DWORD_PTR r = 0;
      lockSent_ = SendMessageTimeoutW(window, WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK, session, SMTO_NORMAL, 20000, &r) != 0;
    });
    // Logged as the lock starts its stop, which waits for the device thread.
    EXPECT_TRUE(WaitLine("WM_WTSSESSION_CHANGE WTS_SESSION_LOCK session ID " + std::to_string(session)));
    return lock;
  }
  bool Responsive() { return Send(WM_NULL, 0, 0, 5000); }

  bool lockSent_ = false;
};

TEST_F(LinkLifecycle, StopsArrivingWhileAStopWaitsNeverHang) {
  ASSERT_TRUE(StartExec());
  std::thread lock = LockDuringASlowPass(2500);
  ASSERT_TRUE(Session(WTS_CONSOLE_DISCONNECT)) << "the nested stop returned";
  lock.join();
  EXPECT_TRUE(lockSent_) << "the waiting stop returned";
  EXPECT_TRUE(WaitLine("Link Thread, end", 1, 10000));
  EXPECT_TRUE(Responsive()) << "the main thread still serves messages";
  EXPECT_TRUE(sim_.WaitStatus([](const QvnSimStatus& s) { return s.filterHandles == 0; }, 5000));
  ASSERT_TRUE(Session(WTS_CONSOLE_CONNECT));
  ASSERT_TRUE(Session(WTS_SESSION_UNLOCK));
  EXPECT_TRUE(sim_.WaitOneWaitOutstanding(15000)) << "and the link comes back";
}

TEST_F(LinkLifecycle, UnlockWhileTheLockStillWaitsEndsWithARunningLink) {
  ASSERT_TRUE(StartExec());
  std::thread lock = LockDuringASlowPass(2500);
  ASSERT_TRUE(Session(WTS_SESSION_UNLOCK));
  lock.join();
  EXPECT_TRUE(lockSent_);
  ASSERT_TRUE(sim_.WaitOneWaitOutstanding(20000)) << "the unlock's start was made after the stop";
  EXPECT_TRUE(Responsive());
  ASSERT_TRUE(sim_.Press(3));
  EXPECT_TRUE(WaitLine("Event from driver. EventType:1 btnId:3", 2));
}

}  // namespace
