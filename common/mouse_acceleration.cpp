#include "mouse_acceleration.h"

#include "pointer_speed_settings.h"
#include "qvnlog.h"

namespace qvn {

BOOL MouseEnhanceSet(bool on, DWORD logMask) {
  const MouseAccel accel = MouseAccelFor(on);
  int mouse[3] = {accel.threshold1, accel.threshold2, accel.acceleration};
  BOOL ok = SystemParametersInfoW(SPI_SETMOUSE, 0, mouse, SPIF_UPDATEINIFILE | SPIF_SENDCHANGE);
  if (!ok) {
    DWORD err = GetLastError();
    DebugPrint(logMask, L"SystemParametersInfo SPI_SETMOUSE failed! %d", err);
    SetLastError(err ? err : ERROR_CANTWRITE);
  }
  return ok;
}

bool MouseEnhanceGet(bool* on, DWORD logMask) {
  int mouse[3] = {};
  if (!on || !SystemParametersInfoW(SPI_GETMOUSE, 0, mouse, 0)) {
    DebugPrint(logMask, L"SystemParametersInfo SPI_GETMOUSE failed! %d", GetLastError());
    return false;
  }
  // The acceleration switches precision on; the thresholds only tune it.
  *on = mouse[2] != 0;
  return true;
}

}  // namespace qvn
