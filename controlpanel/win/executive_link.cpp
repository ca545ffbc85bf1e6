#include "executive_link.h"

#include "log_levels.h"
#include "qvn_messages.h"
#include "qvnlog.h"

HWND QMCUtilInternalExecutableWindowFind() {
  DWORD session = 0;
  if (!ProcessIdToSessionId(GetCurrentProcessId(), &session)) {
    DebugPrint(qvn::kCplLogError, L"QMCUtilInternalExecutableWindowFind cannot determine window name.\n");
    return nullptr;
  }
  wchar_t title[64];
  QvnFormatWf(title, 64, L"%s%d", QVN_MAIN_WINDOW_TITLE_STEM, static_cast<int>(session));
  return FindWindowW(QVN_MAIN_WINDOW_CLASS, title);
}

LRESULT ExecutiveSettingsUpdatedSend(WPARAM code) {
  HWND window = QMCUtilInternalExecutableWindowFind();
  if (!window) return 0;
  return SendMessageW(window, WM_APP_QUORVANE_SETTINGS_UPDATED, code, 0);
}

bool ExecutiveMessagePost(UINT message, WPARAM wParam) {
  HWND window = QMCUtilInternalExecutableWindowFind();
  if (!window) return false;
  return PostMessageW(window, message, wParam, 0) != FALSE;
}
