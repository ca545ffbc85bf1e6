#include "window_command_core.h"

#include "core_text.h"
#include "log_levels.h"

namespace qvn {

namespace {

constexpr uint16_t kVkAlt = 0x12, kVkF4 = 0x73, kVkLWin = 0x5B, kVkUp = 0x26, kVkDown = 0x28;
constexpr uint16_t kExtended = 2;

// Modifier down, key down and up, modifier up.
void Chord(WindowCommandPort& port, uint16_t modifier, uint16_t modifierFlags, uint16_t key, uint16_t keyFlags) {
  port.Key(modifier, true, modifierFlags);
  port.Key(key, true, keyFlags);
  port.Key(key, false, keyFlags);
  port.Key(modifier, false, modifierFlags);
}

}  // namespace

bool WindowCommandRun(WindowCommandPort& port, uint32_t command) {
  const uint32_t error = port.Post(command);
  if (error == 0) return true;
  port.Log(kExecLogError, L"QMEFuncWindowCommand PostMessage failed! " + qme::IntText(error));
  if (error != kErrorAccessDenied) return false;

  int repeat = 0;
  uint16_t modifier = kVkLWin, modifierFlags = kExtended, key = 0, keyFlags = kExtended;
  switch (command) {
    case kWindowCommandClose:
      modifier = kVkAlt;
      modifierFlags = 0;
      key = kVkF4;
      keyFlags = 0;
      repeat = 1;
      break;
    case kWindowCommandMaximize:
      key = kVkUp;
      repeat = port.Maximized() ? 0 : 1;
      break;
    case kWindowCommandMinimize:
      key = kVkDown;
      repeat = port.Maximized() ? 2 : 1;
      break;
    default:
      break;
  }
  if (repeat == 0) {
    port.Log(kExecLogInfo, L"QMEFuncWindowCommand no key does command " +
                               qme::IntText(static_cast<long long>(command)) + L" for this window");
    return false;
  }
  if (!port.BringForward()) {
    port.Log(kExecLogError, L"QMEFuncWindowCommand refused command not sent as keys: the window could not be brought forward");
    return false;
  }
  port.Log(kExecLogInfo, L"QMEFuncWindowCommand refused command sent as keys through the driver");
  for (int i = 0; i < repeat; ++i) Chord(port, modifier, modifierFlags, key, keyFlags);
  return true;
}

}  // namespace qvn
