#include "mouse_acceleration.h"

#include "qvnlog.h"

namespace qvn {

BOOL MouseEnhanceSet(bool on, DWORD logMask) {
  int mouse[3] = {0, 0, 0};
  if (on) {
    mouse[0] = 6;
    mouse[1] = 10;
    mouse[2] = 1;
  }
  BOOL ok = SystemParametersInfoW(SPI_SETMOUSE, 0, mouse, SPIF_UPDATEINIFILE | SPIF_SENDCHANGE);
  if (!ok) DebugPrint(logMask, L"SystemParametersInfo SPI_SETMOUSE failed! %d", GetLastError());
  return ok;
}

}  // namespace qvn
