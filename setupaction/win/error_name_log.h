// Names a Windows error code in the setup log.
#pragma once
#include <windows.h>

namespace Utilities {

// Logs the code's name (driver-package level).
void ErrorNameLog(DWORD code);

}  // namespace Utilities
