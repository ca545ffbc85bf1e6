// Request codes, record layout helpers and the device thread's routing rule.
#include <gtest/gtest.h>

#include <cstring>

#include "driver_protocol.h"

namespace {

TEST(DriverProtocol, ButtonCodesFollowTheControlDeviceTable) {
  const uint32_t expected[5][2] = {{0x9C402448, 0x9C402444}, {0x9C402450, 0x9C40244C},
                                   {0x9C402458, 0x9C402454}, {0x9C402460, 0x9C40245C},
                                   {0x9C402480, 0x9C402464}};
  for (int b = 0; b < 5; ++b) {
    uint32_t up = 0, down = 0;
    ASSERT_TRUE(QvnButtonIoctl(b, false, &up));
    ASSERT_TRUE(QvnButtonIoctl(b, true, &down));
    EXPECT_EQ(up, expected[b][0]) << "button " << b;
    EXPECT_EQ(down, expected[b][1]) << "button " << b;
  }
  // All of them buffered, any access, on the driver's device type.
  for (uint32_t c : {QVN_IOCTL_CTRL_WHEEL, QVN_IOCTL_CTRL_KEY_DOWN, QVN_IOCTL_CTRL_KEY_UP}) {
    EXPECT_EQ(c >> 16, 0x9C40u);
    EXPECT_EQ(c & 0xC003u, 0u);
    EXPECT_EQ(QvnDriverIoctl(QvnDriverIoctlFunction(c)), c);
  }
}

TEST(DriverProtocol, ButtonOutsideRangeHasNoCode) {
  for (int b : {-1, 5, 6, 255}) {
    uint32_t code = 0xDEADBEEF;
    EXPECT_FALSE(QvnButtonIoctl(b, true, &code)) << b;
    EXPECT_EQ(code, 0xDEADBEEFu);
  }
}

QvnDriverEvent Record(int32_t type, uint16_t button) {
  QvnDriverEvent e{};
  e.EventType = type;
  e.ButtonId = button;
  return e;
}

TEST(DriverProtocol, RecordBytesAreLittleEndianAtTheirOffsets) {
  const unsigned char raw[24] = {0x88, 0xFF, 0, 0, 51, 0, 0xAA, 0xBB, 1, 2, 3, 4,
                                 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
  QvnDriverEvent e;
  std::memcpy(&e, raw, sizeof(e));
  EXPECT_EQ(e.ButtonId, 51);
  EXPECT_EQ(QvnEventWheelDelta(e), -120);
  EXPECT_EQ(e.data1, 0x04030201u);
  EXPECT_EQ(e.data3, 0x100F0E0D0C0B0A09ull);
  EXPECT_EQ(QvnEventWheelDelta(Record(120, 51)), 120);
  EXPECT_EQ(QvnEventWheelDelta(Record(0x1FF88, 51)), -120);
}

TEST(DriverProtocol, RoutingByButtonIdFirstThenType) {
  using R = QvnEventRoute;
  EXPECT_EQ(QvnRouteEvent(Record(1, 3)), R::Dispatcher);
  EXPECT_EQ(QvnRouteEvent(Record(2, 3)), R::Dispatcher);
  EXPECT_EQ(QvnRouteEvent(Record(4, 0)), R::PointerMoved);
  // 51 carries a wheel delta in EventType: 4 must not make it a move.
  EXPECT_EQ(QvnRouteEvent(Record(4, 51)), R::Dispatcher);
  EXPECT_EQ(QvnRouteEvent(Record(0, 50)), R::Dispatcher);
  EXPECT_EQ(QvnRouteEvent(Record(-120, 51)), R::Dispatcher);
  EXPECT_EQ(QvnRouteEvent(Record(0, 65535)), R::Dispatcher);
  // Unknown types below 50 are dropped, whatever the button.
  for (int32_t t : {0, 3, 5, -1, 0x7FFFFFFF}) EXPECT_EQ(QvnRouteEvent(Record(t, 2)), R::Dropped) << t;
  // Buttons outside 1..8 with a known type still reach the dispatcher,
  // which ignores what it has no mapping for.
  EXPECT_EQ(QvnRouteEvent(Record(1, 0)), R::Dispatcher);
  EXPECT_EQ(QvnRouteEvent(Record(2, 9)), R::Dispatcher);
  EXPECT_EQ(QvnRouteEvent(Record(1, 49)), R::Dispatcher);
}

}  // namespace
