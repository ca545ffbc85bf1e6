// What each driver-store and device call of the tool came back with, what
// that means for the run, and the exit code the tool ends with. Callers
// read the exit codes: the installer (0 done, 3010 done but the machine
// must restart, anything else failed) and the executive for "-DriverUpdate"
// (0 done, 5 must run elevated, anything else failed).
#pragma once
#include <cstdint>

#include "setup_cmdline.h"

namespace qvn {
namespace setup {

enum class Outcome {
  kDone,
  kRebootRequired,  // done, effective after a restart
  kNothingToDo,     // already in the wanted state
  kNoSuchDevice,    // nothing present to act on
  kAccessDenied,    // the caller lacks the rights
  kFailed,
};

constexpr uint32_t kExitDone = 0;
constexpr uint32_t kExitAccessDenied = 5;                // ERROR_ACCESS_DENIED
constexpr uint32_t kExitBadCommandLine = 87;             // ERROR_INVALID_PARAMETER
constexpr uint32_t kExitDriverUpdateFailed = 1223;       // ERROR_CANCELLED
constexpr uint32_t kExitRebootRequired = 3010;           // ERROR_SUCCESS_REBOOT_REQUIRED
constexpr uint32_t kExitFailed = 0xFFFFFFFF;

// Win32 and SetupAPI codes the calls answer with.
constexpr uint32_t kErrorFileNotFound = 2;
constexpr uint32_t kErrorFileExists = 80;
constexpr uint32_t kErrorNoMoreItems = 259;
constexpr uint32_t kErrorNoSuchDevinst = 0xE000020B;

// One call's answer: its success flag, the last error on failure, the
// restart flag it hands back.
struct CallResult {
  bool ok;
  uint32_t error;
  bool needReboot;
};

// SetupCopyOEMInfW without overwriting: a package already in the store is
// nothing to do.
Outcome PreinstallOutcome(CallResult r);
// DiInstallDriverW: no matching device present is not a failure; a driver
// that is no better than the installed one leaves nothing to do.
Outcome InstallOutcome(CallResult r);
// DiUninstallDriverW / SetupUninstallOEMInfW on one published INF: a
// package that is already gone is nothing to do.
Outcome UninstallOutcome(CallResult r);
// Walk over the device instances of a hardware ID.
struct RemovalTally {
  bool setOpened = false;
  int matched = 0;
  int failed = 0;
  bool needReboot = false;
};
Outcome RemovalOutcome(const RemovalTally& t);

// Two outcomes of one run: a failure wins, then a needed restart, then
// work done, then nothing to do.
Outcome Combine(Outcome a, Outcome b);

// The exit code of an option for an outcome.
uint32_t ExitCodeFor(OptionId option, Outcome outcome);

}  // namespace setup
}  // namespace qvn
