// Category bits of the diagnostic log. "DebugLevel" under HKLM
// Software\Quorvane switches them on; a line is written when its mask
// shares a bit with that value. Each program owns a band of bits, so one
// value switches the three programs independently.
#pragma once
#include <cstdint>

namespace qvn {

// Executive ("QMEXE: ").
constexpr uint32_t kExecLogError = 0x0100;          // errors and failed calls
constexpr uint32_t kExecLogTrace = 0x0200;          // function entry (">>> ")
constexpr uint32_t kExecLogButtonEvent = 0x0400;    // button events from the driver
constexpr uint32_t kExecLogClickMachine = 0x0800;   // click-lock state machine ("FSTM")
constexpr uint32_t kExecLogWindowMessage = 0x1000;  // messages of the main window
constexpr uint32_t kExecLogDeviceChange = 0x2000;   // device-change notifications
constexpr uint32_t kExecLogRegistry = 0x4000;       // registry reads in detail
constexpr uint32_t kExecLogInfo = 0x8000;           // information
constexpr uint32_t kExecLogRegistryFailure = kExecLogRegistry | kExecLogError;  // 0x4100

// Control panel ("QMCPL: ").
constexpr uint32_t kCplLogError = 0x01;
constexpr uint32_t kCplLogTrace = 0x02;
constexpr uint32_t kCplLogDialog = 0x04;          // dialog-procedure messages
constexpr uint32_t kCplLogRegistry = 0x08;
constexpr uint32_t kCplLogConstruction = 0x10;    // object construction
constexpr uint32_t kCplLogInput = 0x20;           // control and keyboard-hook input
constexpr uint32_t kCplLogDialogProc = kCplLogTrace | kCplLogDialog;          // 0x06
constexpr uint32_t kCplLogRegistryFailure = kCplLogRegistry | kCplLogError;  // 0x09

// Setup action tool ("QMSET: ").
constexpr uint32_t kSetupLogError = 0x10000;
constexpr uint32_t kSetupLogTrace = 0x20000;       // entry and exit (">>> ", "<<< ")
constexpr uint32_t kSetupLogInfo = 0x40000;
constexpr uint32_t kSetupLogPackage = 0x80000;     // driver-package results, error names
constexpr uint32_t kSetupLogEnum = 0x100000;       // file and driver enumeration
constexpr uint32_t kSetupLogDebugLevel = 0x200000; // reading of "DebugLevel"
constexpr uint32_t kSetupLogDevice = 0x400000;
// Levels that reach the debugger output whatever "DebugLevel" says.
constexpr uint32_t kSetupLogAlwaysOn = kSetupLogError | kSetupLogInfo | kSetupLogDevice;  // 0x450000
constexpr uint32_t kSetupLogDebugLevelFailure = kSetupLogDebugLevel | kSetupLogError;  // 0x210000

}  // namespace qvn
