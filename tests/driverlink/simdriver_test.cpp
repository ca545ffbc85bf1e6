// The handle wrapper and the injectors against the simulated driver: what
// reaches the driver, byte for byte and in order, and how the wrapper
// behaves around open, wait, cancel and absence.
#include <gtest/gtest.h>

#include "dbwin_reader.h"
#include "device_filter.h"
#include "device_filter_config.h"
#include "inject.h"
#include "qvnlog.h"
#include "qvntest.h"
#include "settings.h"
#include "simdriver_client.h"

using simdriver::Inject;
using simdriver::SimDriver;

namespace {

class SimDriverTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(sim_.EnsureStarted()) << "driver start failed: " << sim_.LastError();
    ASSERT_TRUE(sim_.Reset());
    ASSERT_TRUE(log_.Start());
    saved_ = g_DebugLevel;
    g_DebugLevel = 0xFFFF;
  }
  void TearDown() override {
    g_DebugLevel = saved_;
    sim_.Replug();
  }
  size_t MyLines(const std::string& text) { return log_.Count(text, GetCurrentProcessId()); }
  QvnSimStatus Status() {
    QvnSimStatus s{};
    EXPECT_TRUE(sim_.Status(&s));
    return s;
  }

  SimDriver sim_;
  DbwinReader log_;
  DWORD saved_ = 0;
};

TEST_F(SimDriverTest, CreateOnAnOpenWrapperFailsAndKeepsTheHandle) {
  QMEDeviceFilter filter;
  ASSERT_TRUE(filter.Create(QVN_FILTER_DEVICE_NAME));
  EXPECT_FALSE(filter.Create(QVN_FILTER_DEVICE_NAME));
  EXPECT_TRUE(log_.WaitFor("QMEXE: QMEDeviceFilter::Create already open!", 2000, GetCurrentProcessId()));
  EXPECT_EQ(Status().filterHandles, 1u);
  // The first handle still works.
  g_linkConfData.acceleratedScrolling = 1;
  g_linkConfData.reserved = 0;
  EXPECT_TRUE(filter.IoctlLoadConfig());
  filter.Close();
  EXPECT_FALSE(filter.IsOpen());
  EXPECT_EQ(Status().filterHandles, 0u);
  filter.Close();  // closing a closed wrapper does nothing
}

TEST_F(SimDriverTest, ConfigurationCarriesBothLinkBytes) {
  QMEDeviceFilter filter;
  ASSERT_TRUE(filter.Create(QVN_FILTER_DEVICE_NAME));
  g_linkConfData.acceleratedScrolling = 1;
  g_linkConfData.reserved = 0;
  ASSERT_TRUE(filter.IoctlLoadConfig());
  g_linkConfData.acceleratedScrolling = 0;
  ASSERT_TRUE(filter.IoctlLoadConfig());
  auto configs = sim_.Configurations();
  ASSERT_EQ(configs.size(), 2u);
  EXPECT_EQ(configs[0].inputLength, 2u);
  EXPECT_EQ(configs[0].input[0], 1);
  EXPECT_EQ(configs[0].input[1], 0);
  EXPECT_EQ(configs[1].input[0], 0);
  EXPECT_EQ(configs[0].status, 0u);
  EXPECT_TRUE(log_.WaitFor("QMEXE: >>> QMESettingsToBufferForDriver", 2000, GetCurrentProcessId(), 2));
  EXPECT_EQ(Status().acceleratedScrolling, 0u);
}

TEST_F(SimDriverTest, PendingWaitCountsAsStartedAndCompletesThroughItsEvent) {
  QMEDeviceFilter filter;
  ASSERT_TRUE(filter.Create(QVN_FILTER_DEVICE_NAME));
  OVERLAPPED ov{};
  ov.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  uint8_t in[2] = {0, 0};
  QvnDriverEvent record{};
  ASSERT_TRUE(filter.IoctlEventWait(&ov, in, &record));
  EXPECT_EQ(Status().pendingWaits, 1u);
  // Still pending: the result is asked for without waiting and fails.
  EXPECT_FALSE(filter.GetOverlappedResult(&ov));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_IO_INCOMPLETE));
  EXPECT_TRUE(log_.WaitFor("QMEXE: QMEDeviceFilter::GetOverlappedResult failed! 996", 2000, GetCurrentProcessId()));

  QvnDriverEvent sent{};
  sent.EventType = QVN_MOUSE_FILTER_EVENT_BUTTON_PRESSED;
  sent.ButtonId = 7;
  sent.data1 = 0x11223344;
  sent.data3 = 0x0102030405060708ull;
  ASSERT_TRUE(sim_.Queue(sent));
  ASSERT_EQ(WaitForSingleObject(ov.hEvent, 3000), WAIT_OBJECT_0);
  ASSERT_TRUE(filter.GetOverlappedResult(&ov));
  EXPECT_EQ(record.EventType, 1);
  EXPECT_EQ(record.ButtonId, 7);
  EXPECT_EQ(record.data1, 0x11223344u);
  EXPECT_EQ(record.data3, 0x0102030405060708ull);
  EXPECT_EQ(Status().pendingWaits, 0u);
  CloseHandle(ov.hEvent);
}

TEST_F(SimDriverTest, CloseCancelsTheOutstandingWait) {
  OVERLAPPED ov{};
  ov.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  uint8_t in[2] = {0, 0};
  QvnDriverEvent record{};
  {
    QMEDeviceFilter filter;
    ASSERT_TRUE(filter.Create(QVN_FILTER_DEVICE_NAME));
    ASSERT_TRUE(filter.IoctlEventWait(&ov, in, &record));
    EXPECT_EQ(Status().pendingWaits, 1u);
  }  // destruction closes
  // Close returns only once the cancelled wait has completed: the record and
  // the overlapped structure may go away right after it.
  EXPECT_TRUE(HasOverlappedIoCompleted(&ov));
  EXPECT_EQ(WaitForSingleObject(ov.hEvent, 0), WAIT_OBJECT_0);
  EXPECT_EQ(ov.Internal, static_cast<ULONG_PTR>(0xC0000120));  // STATUS_CANCELLED
  QvnSimStatus s = Status();
  EXPECT_EQ(s.pendingWaits, 0u);
  EXPECT_EQ(s.filterHandles, 0u);
  EXPECT_EQ(s.waitsCancelled, 1u);
  CloseHandle(ov.hEvent);
}

TEST_F(SimDriverTest, HandleClosedWithAPendingWaitWithoutCancelLeavesNoWaitBehind) {
  // What a crashed or careless client does: close without CancelIo. The
  // driver must not keep the wait (and its buffer) for ever.
  HANDLE h = CreateFileW(QVN_FILTER_DEVICE_NAME, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                         FILE_FLAG_OVERLAPPED, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  OVERLAPPED ov{};
  ov.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  QvnDriverEvent record{};
  uint8_t in[2] = {0, 0};
  DWORD bytes = 0;
  EXPECT_FALSE(DeviceIoControl(h, QVN_IOCTL_FILTER_EVENT_WAIT, in, 2, &record, sizeof(record), &bytes, &ov));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_IO_PENDING));
  CloseHandle(h);
  EXPECT_TRUE(sim_.WaitStatus([](const QvnSimStatus& s) { return s.pendingWaits == 0 && s.filterHandles == 0; }, 3000));
  CloseHandle(ov.hEvent);
}

TEST_F(SimDriverTest, QueuedEventsWaitForTheNextWaitInOrder) {
  ASSERT_TRUE(sim_.Press(3));
  ASSERT_TRUE(sim_.Release(3));
  EXPECT_EQ(Status().queuedEvents, 2u);
  QMEDeviceFilter filter;
  ASSERT_TRUE(filter.Create(QVN_FILTER_DEVICE_NAME));
  for (int32_t type : {1, 2}) {
    OVERLAPPED ov{};
    ov.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    uint8_t in[2] = {0, 0};
    QvnDriverEvent record{};
    ASSERT_TRUE(filter.IoctlEventWait(&ov, in, &record));
    ASSERT_EQ(WaitForSingleObject(ov.hEvent, 3000), WAIT_OBJECT_0);
    ASSERT_TRUE(filter.GetOverlappedResult(&ov));
    EXPECT_EQ(record.EventType, type);
    EXPECT_EQ(record.ButtonId, 3);
    CloseHandle(ov.hEvent);
  }
}

TEST_F(SimDriverTest, UnpluggedMouseCannotBeOpenedAndIsBackAfterReplug) {
  ASSERT_TRUE(sim_.Unplug());
  QMEDeviceFilter filter;
  EXPECT_FALSE(filter.Create(QVN_FILTER_DEVICE_NAME));
  EXPECT_FALSE(filter.IsOpen());
  EXPECT_TRUE(qvntest::WaitUntil(
      [&] { return log_.CountPrefix("QMEXE: QMEDeviceFilter::Create CreateFile failed! ", GetCurrentProcessId()) == 1; },
      2000));
  EXPECT_FALSE(sim_.Press(1));  // no mouse, no events
  EXPECT_EQ(Status().plugged, 0u);
  ASSERT_TRUE(sim_.Replug());
  EXPECT_TRUE(filter.Create(QVN_FILTER_DEVICE_NAME));
}

TEST_F(SimDriverTest, UnplugFailsTheOutstandingWait) {
  QMEDeviceFilter filter;
  ASSERT_TRUE(filter.Create(QVN_FILTER_DEVICE_NAME));
  OVERLAPPED ov{};
  ov.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  uint8_t in[2] = {0, 0};
  QvnDriverEvent record{};
  ASSERT_TRUE(filter.IoctlEventWait(&ov, in, &record));
  ASSERT_TRUE(sim_.Unplug());
  ASSERT_EQ(WaitForSingleObject(ov.hEvent, 3000), WAIT_OBJECT_0);
  EXPECT_FALSE(filter.GetOverlappedResult(&ov));
  filter.Close();  // a handle of the removed device closes cleanly
  CloseHandle(ov.hEvent);
}

TEST_F(SimDriverTest, WheelIsReportedOnlyWhileAcceleratedScrollingIsOn) {
  bool reported = true;
  ASSERT_TRUE(sim_.Wheel(120, &reported));
  EXPECT_FALSE(reported);
  QMEDeviceFilter filter;
  ASSERT_TRUE(filter.Create(QVN_FILTER_DEVICE_NAME));
  g_linkConfData.acceleratedScrolling = 1;
  ASSERT_TRUE(filter.IoctlLoadConfig());
  ASSERT_TRUE(sim_.Wheel(-120, &reported));
  EXPECT_TRUE(reported);
  QvnSimStatus s = Status();
  EXPECT_EQ(s.queuedEvents, 1u);
  EXPECT_EQ(s.wheelDropped, 1u);
  OVERLAPPED ov{};
  ov.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  uint8_t in[2] = {0, 0};
  QvnDriverEvent record{};
  ASSERT_TRUE(filter.IoctlEventWait(&ov, in, &record));
  ASSERT_EQ(WaitForSingleObject(ov.hEvent, 3000), WAIT_OBJECT_0);
  EXPECT_EQ(record.ButtonId, QVN_BUTTON_ID_ACCEL_WHEEL);
  EXPECT_EQ(record.EventType, 0xFF88);
  EXPECT_EQ(QvnEventWheelDelta(record), -120);
  CloseHandle(ov.hEvent);
}

// --- injectors ---------------------------------------------------------------

TEST_F(SimDriverTest, EveryButtonGoesOutWithItsOwnCodeInOrder) {
  for (int b = 0; b < 5; ++b) {
    QMEUtilMouseButtonSimulate(b, true);
    QMEUtilMouseButtonSimulate(b, false);
  }
  EXPECT_EQ(sim_.Injections(),
            (std::vector<Inject>{Inject::LeftDown, Inject::LeftUp, Inject::MiddleDown, Inject::MiddleUp,
                                 Inject::RightDown, Inject::RightUp, Inject::BackDown, Inject::BackUp,
                                 Inject::ForwardDown, Inject::ForwardUp}));
  auto log = sim_.Log();
  ASSERT_EQ(log.size(), 10u);
  EXPECT_EQ(log[9].code, 0x9C402480u);
  // Each injection opened the control device anew and closed it again.
  for (size_t i = 1; i < log.size(); ++i) EXPECT_NE(log[i].handle, log[i - 1].handle);
  for (const auto& e : log) EXPECT_EQ(e.status, 0u) << simdriver::Describe(e);
  EXPECT_EQ(Status().controlHandles, 0u);
}

TEST_F(SimDriverTest, ButtonOutsideZeroToFourSendsNothing) {
  QMEUtilMouseButtonSimulate(5, true);
  QMEUtilMouseButtonSimulate(-1, false);
  EXPECT_TRUE(log_.WaitFor("QMEXE: QMEDeviceFilter::IoctlMouseButtonSimulate wrong parameter (button)! 5", 2000,
                           GetCurrentProcessId()));
  EXPECT_TRUE(log_.WaitFor("QMEXE: QMEDeviceFilter::IoctlMouseButtonSimulate wrong parameter (button)! -1", 2000,
                           GetCurrentProcessId()));
  EXPECT_TRUE(sim_.Log().empty());
}

TEST_F(SimDriverTest, WheelDeltaIsSentAsSigned16Bits) {
  QMEUtilMouseWheelSimulate(120);
  QMEUtilMouseWheelSimulate(0xFF88);
  auto log = sim_.Log();
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[0].kind, Inject::Wheel);
  EXPECT_EQ(log[0].inputLength, 2u);
  EXPECT_EQ(log[0].WheelDelta(), 120);
  EXPECT_EQ(log[1].WheelDelta(), -120);
}

TEST_F(SimDriverTest, KeysGoOutAsScanCodesWithTheirFlags) {
  QMEUtilKeyboardKeySimulate('A', true, 0);
  QMEUtilKeyboardKeySimulate('A', false, 0);
  QMEUtilKeyboardKeySimulate(VK_DELETE, true, QVN_KEY_FLAG_EXTENDED);
  // Print screen: always scan 0x37 with the extended flag, whatever was asked.
  QMEUtilKeyboardKeySimulate(0x2C, true, 0);
  QMEUtilKeyboardKeySimulate(0x2C, false, 0);
  auto log = sim_.Log();
  ASSERT_EQ(log.size(), 5u);
  const UINT scanA = MapVirtualKeyW('A', MAPVK_VK_TO_VSC);
  ASSERT_NE(scanA, 0u);
  EXPECT_EQ(log[0].kind, Inject::KeyDown);
  EXPECT_EQ(log[0].inputLength, 4u);
  EXPECT_EQ(log[0].ScanCode(), scanA);
  EXPECT_EQ(log[0].KeyFlags(), 0);
  EXPECT_EQ(log[1].kind, Inject::KeyUp);
  EXPECT_EQ(log[1].ScanCode(), scanA);
  EXPECT_EQ(log[2].ScanCode(), MapVirtualKeyW(VK_DELETE, MAPVK_VK_TO_VSC));
  EXPECT_EQ(log[2].KeyFlags(), QVN_KEY_FLAG_EXTENDED);
  EXPECT_EQ(log[3].kind, Inject::KeyDown);
  EXPECT_EQ(log[3].ScanCode(), 0x37);
  EXPECT_EQ(log[3].KeyFlags(), QVN_KEY_FLAG_EXTENDED);
  EXPECT_EQ(log[4].kind, Inject::KeyUp);
  EXPECT_EQ(log[4].ScanCode(), 0x37);
}

TEST_F(SimDriverTest, KeyWithoutScanCodeIsLoggedAndNotSent) {
  const uint16_t vk = 0x07;  // unassigned: no scan code
  ASSERT_EQ(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC), 0u);
  QMEUtilKeyboardKeySimulate(vk, true, 0);
  EXPECT_TRUE(log_.WaitFor("QMEXE: QMEUtilKeyboardKeySimulate MapVirtualKey failed! 7", 2000, GetCurrentProcessId()));
  EXPECT_TRUE(sim_.Log().empty());
}

TEST_F(SimDriverTest, RequestsOnAWrapperThatFailedToOpenFailCleanly) {
  QMEDeviceFilter control;
  EXPECT_FALSE(control.Create(L"\\\\.\\QvnNoSuchDevice"));
  EXPECT_FALSE(control.IoctlMouseWheelSimulate(120));
  EXPECT_TRUE(sim_.Log().empty());
}

TEST_F(SimDriverTest, DriverRefusesMalformedRequestsAndLogsThem) {
  // Not something the executive sends; the fixture must still tell.
  HANDLE h = CreateFileW(QVN_CONTROL_DEVICE_NAME, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  DWORD bytes = 0;
  uint8_t one = 1;
  EXPECT_FALSE(DeviceIoControl(h, QVN_IOCTL_CTRL_WHEEL, &one, 1, nullptr, 0, &bytes, nullptr));
  EXPECT_FALSE(DeviceIoControl(h, 0x9C402468, nullptr, 0, nullptr, 0, &bytes, nullptr));
  CloseHandle(h);
  auto log = sim_.Log();
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[0].kind, Inject::Wheel);
  EXPECT_NE(log[0].status, 0u);
  EXPECT_EQ(log[1].kind, Inject::ControlOther);
  EXPECT_EQ(simdriver::Describe(log[1]).find("unknown control request 0x9c402468"), 0u);
  EXPECT_EQ(Status().injections, 0u);
}

}  // namespace
