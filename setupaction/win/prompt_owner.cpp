#include "prompt_owner.h"

#include "setup_log.h"

namespace Utilities {

HWND WindowParentForInstallPromptGet(const wchar_t* className) {
  HWND window = FindWindowW(className, nullptr);
  if (!window) {
    SetupDebugPrint(qvn::kSetupLogError, L"Utilities::WindowParentForInstallPromptGet FindWindowW failed! %s %d\n", className,
                    GetLastError());
    window = GetDesktopWindow();
  }
  if (!SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE))
    SetupDebugPrint(qvn::kSetupLogError, L"Utilities::WindowParentForInstallPromptGet SetWindowPos failed! %d \n",
                    GetLastError());
  return window;
}

}  // namespace Utilities
