// "Enhance pointer precision": the system's mouse acceleration, set to
// the values of MouseAccelFor.
#pragma once
#include <windows.h>

// Sets it (SPI_SETMOUSE, saved to the user profile and broadcast). Returns
// the system call's result; a failure is logged with logMask and its error
// left as the last error.
namespace qvn {
BOOL MouseEnhanceSet(bool on, DWORD logMask);
// Whether the system has it on now; false when it could not be asked.
bool MouseEnhanceGet(bool* on, DWORD logMask);
}  // namespace qvn
