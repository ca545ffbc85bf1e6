#include "driver_update_request_core.h"
#include "link_recovery_core.h"
#include "session_core.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "device_arrivals_table.h"
#include "link_recovery_table.h"

namespace {
using qvn::DeviceLinkAction;
using qvn::SessionChange;
using qvn::SessionFlags;

TEST(SessionChange, LockThenUnlockStopsThenStarts) {
  SessionFlags f;
  EXPECT_EQ(SessionChange(f, qvn::kWtsSessionLock), DeviceLinkAction::Stop);
  EXPECT_TRUE(f.locked);
  EXPECT_EQ(SessionChange(f, qvn::kWtsSessionUnlock), DeviceLinkAction::Start);
  EXPECT_FALSE(f.locked);
}

TEST(SessionChange, DisconnectWhileLockedStaysStoppedUntilConsoleConnect) {
  SessionFlags f;
  EXPECT_EQ(SessionChange(f, qvn::kWtsSessionLock), DeviceLinkAction::Stop);
  EXPECT_EQ(SessionChange(f, qvn::kWtsConsoleDisconnect), DeviceLinkAction::Stop);
  EXPECT_EQ(SessionChange(f, qvn::kWtsSessionUnlock), DeviceLinkAction::Stop);
  EXPECT_EQ(SessionChange(f, qvn::kWtsConsoleConnect), DeviceLinkAction::Start);
}

TEST(SessionChange, ConsoleConnectWhileLockedKeepsTheLinkStopped) {
  SessionFlags f;
  SessionChange(f, qvn::kWtsConsoleDisconnect);
  SessionChange(f, qvn::kWtsSessionLock);
  EXPECT_EQ(SessionChange(f, qvn::kWtsConsoleConnect), DeviceLinkAction::Stop);
  EXPECT_TRUE(f.consoleConnected);
  EXPECT_EQ(SessionChange(f, qvn::kWtsSessionUnlock), DeviceLinkAction::Start);
}

TEST(SessionChange, OtherCodesChangeNothing) {
  for (unsigned code : {0u, 4u, 5u, 6u, 9u, 10u, 0xFFFFFFFFu}) {
    SessionFlags f;
    f.locked = true;
    EXPECT_EQ(SessionChange(f, code), DeviceLinkAction::None) << code;
    EXPECT_TRUE(f.locked);
    EXPECT_TRUE(f.consoleConnected);
  }
}

TEST(SessionChange, ExecutiveOutsideTheConsoleSessionLeavesTheMouseAlone) {
  EXPECT_FALSE(qvn::LinkMayRun(qvn::InitialSessionFlags(2, 1))) << "a Remote Desktop session";
  EXPECT_TRUE(qvn::LinkMayRun(qvn::InitialSessionFlags(1, 1)));
  EXPECT_TRUE(qvn::LinkMayRun(qvn::InitialSessionFlags(1, qvn::kNoConsoleSession))) << "console being switched";
}

// Suspend, resume, a remote connect and session ends run end to end (ExecLink, BreakReminder).
TEST(PowerChange, SecondResumeMessageAndANightLockedThrough) {
  SessionFlags f;
  qvn::PowerChange(f, qvn::kPbtSuspend);
  qvn::PowerChange(f, qvn::kPbtResumeAutomatic);
  EXPECT_EQ(qvn::PowerChange(f, qvn::kPbtResumeSuspend), DeviceLinkAction::Restart);
  EXPECT_EQ(qvn::PowerChange(f, 0x8013), DeviceLinkAction::None) << "PBT_POWERSETTINGCHANGE";
  SessionChange(f, qvn::kWtsSessionLock);
  qvn::PowerChange(f, qvn::kPbtSuspend);
  EXPECT_EQ(qvn::PowerChange(f, qvn::kPbtResumeAutomatic), DeviceLinkAction::None) << "nothing until the unlock";
  EXPECT_FALSE(qvn::BreakMayRun(f));
  EXPECT_EQ(SessionChange(f, qvn::kWtsSessionUnlock), DeviceLinkAction::Start);
  EXPECT_TRUE(qvn::BreakMayRun(f));
}

TEST(LinkRecovery, RetriesAtOnceThenFurtherApartThenWaitForTheMouse) {
  for (const auto& row : kTable_link_recovery) {
    qvn::LinkRecovery r;
    std::string out;
    auto put = [&](uint32_t d) { out += (out.empty() ? "" : " ") + (d == qvn::kLinkRetryNever ? "-" : std::to_string(d)); };
    for (char e : row[0]) {
      if (e == 'L' || e == 'F') put(e == 'L' ? r.Lost() : r.OpenFailed());
      if (e == 'O') r.Opened();
      if (e == 'E') r.EventReceived();
      if (e == 'R') r.Renew();
    }
    EXPECT_EQ(out, row[1]) << row[2];
  }
}

TEST(DriverUpdateRequest, OnlyTheMouseNamedByAnArrivalIsUpdated) {
  for (const auto& r : kTable_device_arrivals)
    EXPECT_EQ(qvn::HardwareIdsInDevicePath(std::wstring(r[0].begin(), r[0].end()).c_str()), std::stoul(r[1])) << r[0];
  EXPECT_EQ(qvn::HardwareIdsInDevicePath(nullptr), 0u);
}

TEST(DeviceChangeNames, KnownAndUnknownEvents) {
  EXPECT_STREQ(qvn::DeviceChangeEventName(0x8000), L"DBT_DEVICEARRIVAL");
  EXPECT_STREQ(qvn::DeviceChangeEventName(0x8004), L"DBT_DEVICEREMOVECOMPLETE");
  EXPECT_STREQ(qvn::DeviceChangeEventName(0x0007), L"DBT_DEVNODES_CHANGED");
  EXPECT_STREQ(qvn::DeviceChangeEventName(0xFFFF), L"DBT_USERDEFINED");
  EXPECT_STREQ(qvn::DeviceChangeEventName(0x8007), L"DBT_XXX unknown");
  EXPECT_STREQ(qvn::DeviceChangeEventName(0), L"DBT_XXX unknown");
  EXPECT_TRUE(qvn::DeviceChangeNeedsRecheck(0x8000));
  EXPECT_TRUE(qvn::DeviceChangeNeedsRecheck(0x8004));
  EXPECT_FALSE(qvn::DeviceChangeNeedsRecheck(0x8001));
  EXPECT_FALSE(qvn::DeviceChangeNeedsRecheck(0x0007));
}

TEST(MainWindowTitle, SessionNumberWithoutSeparatorOrLeadingZeros) {
  wchar_t buf[32];
  ASSERT_TRUE(qvn::MainWindowTitle(0, buf, 32));
  EXPECT_STREQ(buf, L"Quorvane0");
  ASSERT_TRUE(qvn::MainWindowTitle(1, buf, 32));
  EXPECT_STREQ(buf, L"Quorvane1");
  ASSERT_TRUE(qvn::MainWindowTitle(4294967295u, buf, 32));
  EXPECT_STREQ(buf, L"Quorvane4294967295");
}

TEST(MainWindowTitle, TooSmallBufferIsRefusedNotOverrun) {
  wchar_t buf[12];
  for (auto& c : buf) c = L'#';
  EXPECT_FALSE(qvn::MainWindowTitle(123, buf, 11));  // needs 12
  EXPECT_EQ(buf[0], 0);
  EXPECT_EQ(buf[11], L'#');
  EXPECT_TRUE(qvn::MainWindowTitle(123, buf, 12));
  EXPECT_STREQ(buf, L"Quorvane123");
}

TEST(SessionRegistration, RetriesEverySecondWhileServiceIsNotUp) {
  std::vector<uint32_t> answers = {1702, 1702, 1702, 0};
  size_t calls = 0;
  std::vector<uint32_t> sleeps;
  uint32_t r = qvn::RegisterSessionNotificationWithRetry(
      [&] { return answers[calls++]; }, [&](uint32_t ms) { sleeps.push_back(ms); });
  EXPECT_EQ(r, 0u);
  EXPECT_EQ(calls, 4u);
  EXPECT_EQ(sleeps, (std::vector<uint32_t>{1000, 1000, 1000}));
}

TEST(SessionRegistration, OtherErrorEndsAtOnce) {
  size_t calls = 0, sleeps = 0;
  uint32_t r = qvn::RegisterSessionNotificationWithRetry(
      [&] { ++calls; return calls == 1 ? 1702u : 5u; }, [&](uint32_t) { ++sleeps; });
  EXPECT_EQ(r, 5u);
  EXPECT_EQ(calls, 2u);
  EXPECT_EQ(sleeps, 1u);
}

}  // namespace

namespace {

// Requests as the main thread sees them while it serves messages during a
// stop's wait: each row is one request, with what the lifecycle answers.
TEST(LinkLifecycle, NestedStopsFoldIntoTheWaitingOneAndAKeptStartRunsAfterIt) {
  qvn::LinkLifecycle l;
  EXPECT_TRUE(l.StartRequested()) << "nothing waits: start now";
  ASSERT_TRUE(l.StopRequested()) << "lock: this call stops and waits";
  EXPECT_FALSE(l.StopRequested()) << "console disconnect during the wait: folded";
  EXPECT_FALSE(l.StartRequested()) << "unlock during the wait: kept";
  EXPECT_TRUE(l.StopWaiting());
  EXPECT_TRUE(l.StopEnded()) << "the kept start is due";
  EXPECT_FALSE(l.StopWaiting());

  ASSERT_TRUE(l.StopRequested());
  EXPECT_FALSE(l.StartRequested());
  EXPECT_FALSE(l.StopRequested()) << "a stop after the kept start drops it";
  EXPECT_FALSE(l.StopEnded());
  EXPECT_TRUE(l.StartRequested());
  EXPECT_TRUE(l.StopRequested());
  EXPECT_FALSE(l.StopEnded()) << "no start asked during this wait";
}

}  // namespace
