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
  // The executive takes a moment for this; one that does not answer must
  // not freeze the sheet. The settings are stored either way.
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(window, WM_APP_QUORVANE_SETTINGS_UPDATED, code, 0, SMTO_ABORTIFHUNG,
                           kExecutiveAnswerMs, &result)) {
    DebugPrint(qvn::kCplLogError, L"ExecutiveSettingsUpdatedSend the executive did not answer! %d", GetLastError());
    return 0;
  }
  return static_cast<LRESULT>(result);
}

bool ExecutiveMessagePost(UINT message, WPARAM wParam) {
  HWND window = QMCUtilInternalExecutableWindowFind();
  if (!window) return false;
  return PostMessageW(window, message, wParam, 0) != FALSE;
}
