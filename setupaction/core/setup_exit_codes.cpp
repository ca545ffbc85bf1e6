#include "setup_exit_codes.h"

namespace qvn {
namespace setup {

Outcome PreinstallOutcome(CallResult r) {
  if (r.ok) return Outcome::kDone;
  return r.error == kErrorFileExists ? Outcome::kNothingToDo : Outcome::kFailed;
}

Outcome InstallOutcome(CallResult r) {
  if (r.ok) return r.needReboot ? Outcome::kRebootRequired : Outcome::kDone;
  if (r.error == kErrorNoSuchDevinst) return Outcome::kNoSuchDevice;
  if (r.error == kErrorNoMoreItems) return Outcome::kNothingToDo;
  return Outcome::kFailed;
}

Outcome UninstallOutcome(CallResult r) {
  if (r.ok) return r.needReboot ? Outcome::kRebootRequired : Outcome::kDone;
  return r.error == kErrorFileNotFound ? Outcome::kNothingToDo : Outcome::kFailed;
}

Outcome RemovalOutcome(const RemovalTally& t) {
  if (!t.setOpened || t.failed > 0) return Outcome::kFailed;
  if (t.matched == 0) return Outcome::kNoSuchDevice;
  return t.needReboot ? Outcome::kRebootRequired : Outcome::kDone;
}

namespace {
int Rank(Outcome o) {
  switch (o) {
    case Outcome::kFailed: return 5;
    case Outcome::kAccessDenied: return 4;
    case Outcome::kRebootRequired: return 3;
    case Outcome::kDone: return 2;
    case Outcome::kNoSuchDevice: return 1;
    case Outcome::kNothingToDo: return 0;
  }
  return 5;
}
}  // namespace

Outcome Combine(Outcome a, Outcome b) { return Rank(a) >= Rank(b) ? a : b; }

uint32_t ExitCodeFor(OptionId option, Outcome outcome) {
  switch (option) {
    case OptionId::kDriverUpdate:
      // The executive's protocol; the tool asks for the restart itself.
      if (outcome == Outcome::kAccessDenied) return kExitAccessDenied;
      return outcome == Outcome::kFailed ? kExitDriverUpdateFailed : kExitDone;
    case OptionId::kExecutableStart:
    case OptionId::kWindowsProcessTerminate:
    case OptionId::kWindowCloseByClassName:
    case OptionId::kUnrecognized:
      // Outcomes that are only logged: a session without a user or a
      // program that is not running is no failure of the installer's.
      return kExitDone;
    default:
      break;
  }
  switch (outcome) {
    case Outcome::kDone:
    case Outcome::kNothingToDo:
    case Outcome::kNoSuchDevice:
      return kExitDone;
    case Outcome::kRebootRequired:
      return kExitRebootRequired;
    case Outcome::kAccessDenied:
    case Outcome::kFailed:
      break;
  }
  return kExitFailed;
}

}  // namespace setup
}  // namespace qvn
