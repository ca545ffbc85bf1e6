#include "system_params.h"

#include "qvnlog.h"

bool QvnSystemParameterRead(int which, int* value, DWORD logMask) {
  if (!value) return false;
  *value = 0;
  BOOL ok = FALSE;
  if (which == QVN_SYSPARAM_MOUSE_SENSITIVITY) {
    int speed = 0;
    ok = SystemParametersInfoW(SPI_GETMOUSESPEED, 0, &speed, 0);
    if (ok) *value = speed;
  } else if (which == QVN_SYSPARAM_SCROLL_LINES || which == QVN_SYSPARAM_SCROLL_PAGES) {
    // WHEEL_PAGESCROLL (0xFFFFFFFF) comes out as -1.
    UINT lines = 0;
    ok = SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    if (ok) *value = static_cast<int>(lines);
  } else {
    return false;
  }
  if (!ok) {
    DWORD err = GetLastError();
    DebugPrint(logMask, L"SystemParametersInfo get %d failed! %d", which, err);
    SetLastError(err ? err : ERROR_CANTREAD);
  }
  return ok != FALSE;
}

DWORD QvnSystemParameterWrite(int which, int value, DWORD logMask) {
  const UINT save = SPIF_UPDATEINIFILE | SPIF_SENDCHANGE;
  BOOL ok = FALSE;
  if (which == QVN_SYSPARAM_MOUSE_SENSITIVITY) {
    // Windows takes the speed from pvParam; Wine 8 reads uiParam instead.
    // Both carry the value so either works.
    ok = SystemParametersInfoW(SPI_SETMOUSESPEED, static_cast<UINT>(value),
                               reinterpret_cast<PVOID>(static_cast<INT_PTR>(value)), save);
  } else if (which == QVN_SYSPARAM_SCROLL_LINES) {
    ok = SystemParametersInfoW(SPI_SETWHEELSCROLLLINES, static_cast<UINT>(value), nullptr, save);
  } else if (which == QVN_SYSPARAM_SCROLL_PAGES) {
    ok = SystemParametersInfoW(SPI_SETWHEELSCROLLLINES, WHEEL_PAGESCROLL, nullptr, save);
  } else {
    return ERROR_INVALID_PARAMETER;
  }
  if (ok) return ERROR_SUCCESS;
  DWORD err = GetLastError();
  DebugPrint(logMask, L"SystemParametersInfo set %d failed! %d", which, err);
  // The system may fail without saying why; saving to the user profile is
  // what such a change can fail at.
  return err ? err : ERROR_CANTWRITE;
}
