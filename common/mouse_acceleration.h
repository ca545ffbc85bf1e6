// "Enhance pointer precision": the system's mouse acceleration, on as
// thresholds 6 and 10 with acceleration 1, off as 0, 0, 0.
#pragma once
#include <windows.h>

// Sets it (SPI_SETMOUSE, saved to the user profile and broadcast). Returns
// the system call's result; a failure is logged with logMask.
namespace qvn {
BOOL MouseEnhanceSet(bool on, DWORD logMask);
}  // namespace qvn
