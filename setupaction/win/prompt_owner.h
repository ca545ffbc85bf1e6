// The window that owns the driver-installation and reboot prompts.
#pragma once
#include <windows.h>

namespace Utilities {

// The first top-level window of the class, or the desktop window; brought
// to the top of the Z order. Never null.
HWND WindowParentForInstallPromptGet(const wchar_t* className);

}  // namespace Utilities
