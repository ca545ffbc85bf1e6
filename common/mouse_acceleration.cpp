#include "mouse_acceleration.h"

#include "pointer_speed_settings.h"
#include "qvnlog.h"

namespace qvn {

BOOL MouseEnhanceSet(bool on, DWORD logMask) {
  const MouseAccel accel = MouseAccelFor(on);
  int mouse[3] = {accel.threshold1, accel.threshold2, accel.acceleration};
  BOOL ok = SystemParametersInfoW(SPI_SETMOUSE, 0, mouse, SPIF_UPDATEINIFILE | SPIF_SENDCHANGE);
  if (!ok) DebugPrint(logMask, L"SystemParametersInfo SPI_SETMOUSE failed! %d", GetLastError());
  return ok;
}

}  // namespace qvn
