#include "inject.h"

#include <windows.h>

#include "device_filter.h"
#include "held_input_core.h"
#include "keyboard_layout.h"
#include "qvnlog.h"

namespace {

// The device thread and the main thread both inject; one request at a time
// keeps the tracker in the order the driver saw.
SRWLOCK g_injectLock = SRWLOCK_INIT;
qvn::HeldInputTracker g_held;

class InjectGuard {
 public:
  InjectGuard() { AcquireSRWLockExclusive(&g_injectLock); }
  ~InjectGuard() { ReleaseSRWLockExclusive(&g_injectLock); }
  InjectGuard(const InjectGuard&) = delete;
  InjectGuard& operator=(const InjectGuard&) = delete;
};

// Scan code and flags the driver gets for a virtual key, as a keyboard
// sends it in the layout of the program that receives it; false when the
// key has none there.
bool KeyScanCode(uint16_t virtualKey, uint16_t keyFlags, qvn::KeyScan* key) {
  qvn::SystemKeyboardLayout layout(qvn::ForegroundKeyboardLayout());
  if (qvn::KeyScanGet(virtualKey, keyFlags, layout, key)) return true;
  DebugPrint(qvn::kExecLogError, L"QMEUtilKeyboardKeySimulate MapVirtualKey failed! %d", virtualKey);
  return false;
}

// Sends one key request on an open control device and keeps the tracker.
// The up of a held key goes to the key its down went to, whatever layout
// is in front now.
void KeySend(QMEDeviceFilter& control, uint16_t virtualKey, bool down, uint16_t keyFlags) {
  qvn::KeyScan key;
  const qvn::HeldInput* held = down ? nullptr : g_held.Find(qvn::HeldKind::Key, virtualKey);
  if (held) {
    key.scan = held->scan;
    key.flags = held->flags;
  } else if (!KeyScanCode(virtualKey, keyFlags, &key)) {
    return;
  }
  if (!control.IoctlKeyboardKeySimulate(key.scan, down, key.flags)) return;
  if (down) g_held.Down(qvn::HeldKind::Key, virtualKey, key.flags, key.scan);
  else g_held.Up(qvn::HeldKind::Key, virtualKey);
}

void ButtonSend(QMEDeviceFilter& control, int button, bool down) {
  if (!control.IoctlMouseButtonSimulate(button, down)) return;
  if (down) g_held.Down(qvn::HeldKind::Button, static_cast<uint16_t>(button));
  else g_held.Up(qvn::HeldKind::Button, static_cast<uint16_t>(button));
}

}  // namespace

void QMEUtilKeyboardKeySimulate(uint16_t virtualKey, bool down, uint16_t keyFlags) {
  DebugPrint(qvn::kExecLogTrace, L">>> QMEUtilKeyboardKeySimulate");
  InjectGuard guard;
  QMEDeviceFilter control;
  if (!control.Create(QVN_CONTROL_DEVICE_NAME)) return;
  KeySend(control, virtualKey, down, keyFlags);
}

void QMEUtilMouseButtonSimulate(int button, bool down) {
  DebugPrint(qvn::kExecLogTrace, L">>> QMEUtilMouseButtonSimulate");
  InjectGuard guard;
  QMEDeviceFilter control;
  if (!control.Create(QVN_CONTROL_DEVICE_NAME)) return;
  ButtonSend(control, button, down);
}

void QMEUtilMouseWheelSimulate(uint16_t delta) {
  DebugPrint(qvn::kExecLogTrace, L">>> QMEUtilMouseWheelSimulate");
  QMEDeviceFilter control;
  if (!control.Create(QVN_CONTROL_DEVICE_NAME)) return;
  control.IoctlMouseWheelSimulate(delta);
}

namespace qvn {

void ReleaseHeldInput() {
  InjectGuard guard;
  std::vector<HeldInput> held = g_held.TakeAll();
  if (held.empty()) return;
  DebugPrint(qvn::kExecLogInfo, L"ReleaseHeldInput %d keys and buttons still down", static_cast<int>(held.size()));
  QMEDeviceFilter control;
  if (!control.Create(QVN_CONTROL_DEVICE_NAME)) {
    DebugPrint(qvn::kExecLogError, L"ReleaseHeldInput driver not reachable, %d ups not sent! %d", static_cast<int>(held.size()),
               GetLastError());
    return;
  }
  for (const HeldInput& h : held) {
    if (h.kind == HeldKind::Key) control.IoctlKeyboardKeySimulate(h.scan, false, h.flags);
    else ButtonSend(control, h.code, false);
  }
}

size_t HeldInputCount() {
  InjectGuard guard;
  return g_held.Count();
}

}  // namespace qvn
