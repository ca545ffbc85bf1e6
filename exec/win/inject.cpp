#include "inject.h"

#include <windows.h>

#include "device_filter.h"
#include "qvnlog.h"

namespace {
constexpr uint16_t kVkSnapshot = 0x2C;
constexpr uint16_t kScanSnapshot = 0x37;
}  // namespace

void QMEUtilKeyboardKeySimulate(uint16_t virtualKey, bool down, uint16_t keyFlags) {
  DebugPrint(qvn::kExecLogTrace, L">>> QMEUtilKeyboardKeySimulate");
  uint16_t scan;
  if (virtualKey == kVkSnapshot) {
    // MapVirtualKey has no useful answer for print screen; the driver
    // expects the E0 37 make code.
    scan = kScanSnapshot;
    keyFlags = QVN_KEY_FLAG_EXTENDED;
  } else {
    scan = static_cast<uint16_t>(MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC));
    if (scan == 0) {
      DebugPrint(qvn::kExecLogError, L"QMEUtilKeyboardKeySimulate MapVirtualKey failed! %d", virtualKey);
      return;
    }
  }
  QMEDeviceFilter control;
  if (!control.Create(QVN_CONTROL_DEVICE_NAME)) return;
  control.IoctlKeyboardKeySimulate(scan, down, keyFlags);
}

void QMEUtilMouseButtonSimulate(int button, bool down) {
  DebugPrint(qvn::kExecLogTrace, L">>> QMEUtilMouseButtonSimulate");
  QMEDeviceFilter control;
  if (!control.Create(QVN_CONTROL_DEVICE_NAME)) return;
  control.IoctlMouseButtonSimulate(button, down);
}

void QMEUtilMouseWheelSimulate(uint16_t delta) {
  DebugPrint(qvn::kExecLogTrace, L">>> QMEUtilMouseWheelSimulate");
  QMEDeviceFilter control;
  if (!control.Create(QVN_CONTROL_DEVICE_NAME)) return;
  control.IoctlMouseWheelSimulate(delta);
}
