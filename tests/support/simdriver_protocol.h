// Private control device of the simulated mouse driver (a test fixture):
// what the test controller sends to make the mouse do things, and what it
// reads back about the executive's requests. Plain C++, no windows.h.
#pragma once
#include <stdint.h>

#include "driver_protocol.h"

#define QVN_SIM_DEVICE_NAME L"\\\\.\\QvnSimMouseCtl"
#define QVN_SIM_SERVICE_NAME L"QvnSimMouse"
#define QVN_SIM_DRIVER_FILE L"qvnsimmouse.sys"

constexpr uint32_t QVN_SIM_IOCTL_QUEUE_EVENT = QvnDriverIoctl(0xA01);  // in: QvnDriverEvent, sent as is
constexpr uint32_t QVN_SIM_IOCTL_WHEEL = QvnDriverIoctl(0xA02);        // in: int16_t; out: optional uint32_t reported
constexpr uint32_t QVN_SIM_IOCTL_GET_LOG = QvnDriverIoctl(0xA03);      // out: QvnSimLogHeader + entries
constexpr uint32_t QVN_SIM_IOCTL_CLEAR = QvnDriverIoctl(0xA04);        // log, queued events and counters
constexpr uint32_t QVN_SIM_IOCTL_STATUS = QvnDriverIoctl(0xA05);       // out: QvnSimStatus
constexpr uint32_t QVN_SIM_IOCTL_UNPLUG = QvnDriverIoctl(0xA06);       // removes the filter device
constexpr uint32_t QVN_SIM_IOCTL_REPLUG = QvnDriverIoctl(0xA07);       // recreates it
constexpr uint32_t QVN_SIM_IOCTL_FAIL_WAITS = QvnDriverIoctl(0xA08);   // in: uint32_t NTSTATUS for every pending wait
constexpr uint32_t QVN_SIM_IOCTL_STALL_NEXT = QvnDriverIoctl(0xA09);   // in: uint32_t ms the next injection is held (at most 20000)

constexpr uint32_t QVN_SIM_DEVICE_FILTER = 1;
constexpr uint32_t QVN_SIM_DEVICE_CONTROL = 2;

// One configuration or injection request as the driver received it.
struct QvnSimLogEntry {
  uint32_t sequence;     // from 1, across clears
  uint32_t device;       // QVN_SIM_DEVICE_FILTER or QVN_SIM_DEVICE_CONTROL
  uint32_t code;         // request code
  uint32_t status;       // NTSTATUS the request was completed with
  uint32_t inputLength;  // bytes the request carried
  uint8_t input[8];      // its first bytes
  uint32_t handle;       // serial number of the handle it came on (from 1)
};
static_assert(sizeof(QvnSimLogEntry) == 32, "log entry layout");

constexpr uint32_t QVN_SIM_LOG_CAPACITY = 1024;  // older entries are dropped (counted)
constexpr uint32_t QVN_SIM_QUEUE_CAPACITY = 256;

struct QvnSimLogHeader {
  uint32_t count;    // entries that follow
  uint32_t dropped;  // entries lost to the capacity since the last clear
};

struct QvnSimStatus {
  uint32_t plugged;               // filter device present
  uint32_t acceleratedScrolling;  // byte 0 of the last configuration (0 after replug)
  uint32_t configReserved;        // byte 1 of it
  uint32_t filterHandles;         // open handles on the filter device
  uint32_t controlHandles;        // open handles on the control device
  uint32_t pendingWaits;          // event waits outstanding, all handles
  uint32_t queuedEvents;          // records waiting for a wait
  uint32_t waitsStarted;          // counters since the last clear
  uint32_t waitsCompleted;
  uint32_t waitsCancelled;
  uint32_t configLoads;
  uint32_t injections;
  uint32_t wheelDropped;          // wheel notches not reported (accelerated scrolling off)
  uint32_t filterOpens;           // successful opens of the filter device
};
