#include "system_change_broadcast.h"

namespace qvn {

void SystemChangeBroadcast(UINT action) {
  DWORD_PTR result = 0;
  SendMessageTimeoutW(HWND_BROADCAST, WM_SETTINGCHANGE, action, 0,
                      SMTO_BLOCK | SMTO_ABORTIFHUNG | SMTO_NOTIMEOUTIFNOTHUNG, 1000, &result);
}

}  // namespace qvn
