// What the executive and the mouse filter driver exchange: device names,
// request codes, the 2-byte configuration, the 4-byte key input and the
// 24-byte event record. Plain C++ (no windows.h): the driver link, the
// simulated driver and its test client all build from this one header.
#pragma once
#include <stddef.h>
#include <stdint.h>

// Buffered requests (METHOD_BUFFERED = 0) with any access (FILE_ANY_ACCESS
// = 0) on the driver's device type.
constexpr uint32_t QVN_DRIVER_DEVICE_TYPE = 0x9C40;
constexpr uint32_t QvnDriverIoctl(uint32_t function) {
  return (QVN_DRIVER_DEVICE_TYPE << 16) | (0u << 14) | (function << 2) | 0u;
}
constexpr uint32_t QvnDriverIoctlFunction(uint32_t code) { return (code >> 2) & 0xFFF; }

// Device names as the executive opens them.
#define QVN_FILTER_DEVICE_NAME L"\\\\.\\QvnmouseFilter"
#define QVN_CONTROL_DEVICE_NAME L"\\\\.\\QvnMiniCtrlMouse"

// USB hardware identifiers of the two mouse models the filter driver is
// installed on (one vendor, two products). The device thread asks the
// setup tool to update the driver on both.
#define QVN_MOUSE_HARDWARE_ID_WIRED L"USB\\VID_2F4C&PID_0A21"
#define QVN_MOUSE_HARDWARE_ID_WIRELESS L"USB\\VID_2F4C&PID_0A22"

// Filter device: configuration and event waits.
constexpr uint32_t QVN_IOCTL_FILTER_LOAD_CONFIG = QvnDriverIoctl(0x911);  // in: QvnDriverConfig
constexpr uint32_t QVN_IOCTL_FILTER_EVENT_WAIT = QvnDriverIoctl(0x912);   // in: 2 bytes, out: QvnDriverEvent
static_assert(QVN_IOCTL_FILTER_LOAD_CONFIG == 0x9C402444u, "load configuration code");
static_assert(QVN_IOCTL_FILTER_EVENT_WAIT == 0x9C402448u, "event wait code");

// Control device: injections. Same code space as the filter device's but
// its own meanings.
constexpr uint32_t QVN_IOCTL_CTRL_BUTTON0_DOWN = 0x9C402444;  // left
constexpr uint32_t QVN_IOCTL_CTRL_BUTTON0_UP = 0x9C402448;
constexpr uint32_t QVN_IOCTL_CTRL_BUTTON1_DOWN = 0x9C40244C;  // middle
constexpr uint32_t QVN_IOCTL_CTRL_BUTTON1_UP = 0x9C402450;
constexpr uint32_t QVN_IOCTL_CTRL_BUTTON2_DOWN = 0x9C402454;  // right
constexpr uint32_t QVN_IOCTL_CTRL_BUTTON2_UP = 0x9C402458;
constexpr uint32_t QVN_IOCTL_CTRL_BUTTON3_DOWN = 0x9C40245C;  // back
constexpr uint32_t QVN_IOCTL_CTRL_BUTTON3_UP = 0x9C402460;
constexpr uint32_t QVN_IOCTL_CTRL_BUTTON4_DOWN = 0x9C402464;  // forward
constexpr uint32_t QVN_IOCTL_CTRL_BUTTON4_UP = 0x9C402480;    // not ...68: the driver's numbering skips
constexpr uint32_t QVN_IOCTL_CTRL_WHEEL = 0x9C402484;         // in: int16_t delta
constexpr uint32_t QVN_IOCTL_CTRL_KEY_DOWN = 0x9C4024C0;      // in: QvnKeyInput
constexpr uint32_t QVN_IOCTL_CTRL_KEY_UP = 0x9C4024C4;        // in: QvnKeyInput

constexpr int QVN_INJECT_BUTTON_COUNT = 5;  // 0 left, 1 middle, 2 right, 3 back, 4 forward

// Code of a button injection; false (code untouched) for a button outside 0..4.
inline bool QvnButtonIoctl(int button, bool down, uint32_t* code) {
  static const uint32_t kCodes[QVN_INJECT_BUTTON_COUNT][2] = {
      {QVN_IOCTL_CTRL_BUTTON0_UP, QVN_IOCTL_CTRL_BUTTON0_DOWN},
      {QVN_IOCTL_CTRL_BUTTON1_UP, QVN_IOCTL_CTRL_BUTTON1_DOWN},
      {QVN_IOCTL_CTRL_BUTTON2_UP, QVN_IOCTL_CTRL_BUTTON2_DOWN},
      {QVN_IOCTL_CTRL_BUTTON3_UP, QVN_IOCTL_CTRL_BUTTON3_DOWN},
      {QVN_IOCTL_CTRL_BUTTON4_UP, QVN_IOCTL_CTRL_BUTTON4_DOWN},
  };
  if (button < 0 || button >= QVN_INJECT_BUTTON_COUNT) return false;
  *code = kCodes[button][down ? 1 : 0];
  return true;
}

// Input of load configuration.
struct QvnDriverConfig {
  uint8_t acceleratedScrolling;  // 1: report wheel notches as button 51 events
  uint8_t reserved;              // always 0
};
static_assert(sizeof(QvnDriverConfig) == 2, "driver configuration is 2 bytes");

// Input of key down / key up.
constexpr uint16_t QVN_KEY_FLAG_EXTENDED = 2;  // E0-prefixed key
struct QvnKeyInput {
  uint16_t scanCode;
  uint16_t flags;  // 0 or QVN_KEY_FLAG_EXTENDED
};
static_assert(sizeof(QvnKeyInput) == 4, "key input is 4 bytes");

// Output of the event wait.
constexpr int32_t QVN_MOUSE_FILTER_EVENT_BUTTON_PRESSED = 1;
constexpr int32_t QVN_MOUSE_FILTER_EVENT_BUTTON_RELEASED = 2;
constexpr int32_t QVN_MOUSE_FILTER_EVENT_MOUSE_MOVED = 4;
// Button identifiers from here up go to the dispatcher whatever the type.
constexpr uint16_t QVN_BUTTON_ID_DISPATCH_FIRST = 50;
// Accelerated-scrolling report: the wheel delta is in EventType's low 16 bits.
constexpr uint16_t QVN_BUTTON_ID_ACCEL_WHEEL = 51;

struct QvnDriverEvent {
  int32_t EventType;
  uint16_t ButtonId;
  uint16_t reserved;  // not read
  uint32_t data1;     // carried, not interpreted
  uint32_t data2;     // carried, not interpreted
  uint64_t data3;     // carried, not interpreted
};
static_assert(sizeof(QvnDriverEvent) == 24, "event record is 24 bytes");
static_assert(offsetof(QvnDriverEvent, EventType) == 0, "EventType at 0");
static_assert(offsetof(QvnDriverEvent, ButtonId) == 4, "ButtonId at 4");
static_assert(offsetof(QvnDriverEvent, data1) == 8, "data at 8");
static_assert(offsetof(QvnDriverEvent, data2) == 12, "data at 12");
static_assert(offsetof(QvnDriverEvent, data3) == 16, "data at 16");

// The wheel delta of an accelerated-scrolling report.
inline int16_t QvnEventWheelDelta(const QvnDriverEvent& e) {
  return static_cast<int16_t>(static_cast<uint32_t>(e.EventType) & 0xFFFFu);
}

// Where one record goes (the device thread's routing, in this order).
enum class QvnEventRoute { Dispatcher, PointerMoved, Dropped };
inline QvnEventRoute QvnRouteEvent(const QvnDriverEvent& e) {
  if (e.ButtonId >= QVN_BUTTON_ID_DISPATCH_FIRST) return QvnEventRoute::Dispatcher;
  if (e.EventType == QVN_MOUSE_FILTER_EVENT_BUTTON_PRESSED ||
      e.EventType == QVN_MOUSE_FILTER_EVENT_BUTTON_RELEASED)
    return QvnEventRoute::Dispatcher;
  if (e.EventType == QVN_MOUSE_FILTER_EVENT_MOUSE_MOVED) return QvnEventRoute::PointerMoved;
  return QvnEventRoute::Dropped;
}
