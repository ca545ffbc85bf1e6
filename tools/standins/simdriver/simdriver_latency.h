// Press latencies as the simulated mouse driver times them, for the
// benchmarks: from completing an event wait with a record to receiving the
// first injection request after it, in performance-counter ticks, oldest
// first. A completion that no injection follows before the next completion
// counts as unanswered, not as a sample. Cleared with the driver's log and
// counters. Plain C++, no windows.h.
#pragma once
#include <stdint.h>

#include "simdriver_protocol.h"

constexpr uint32_t QVN_SIM_IOCTL_GET_LATENCIES = QvnDriverIoctl(0xA0A);  // out: QvnSimLatencyHeader + uint32_t ticks
constexpr uint32_t QVN_SIM_LATENCY_CAPACITY = 16384;  // later samples are dropped (counted)

struct QvnSimLatencyHeader {
  uint64_t frequency;   // ticks per second
  uint32_t count;       // samples that follow
  uint32_t dropped;     // samples lost to the capacity since the last clear
  uint32_t unanswered;  // completions no injection followed
  uint32_t reserved;
};
