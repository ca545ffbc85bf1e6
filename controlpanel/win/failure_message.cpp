#include "failure_message.h"

#include "log_levels.h"
#include "qvnlog.h"

namespace qvn {

void FailureMessageShow(HWND owner, const wchar_t* headline, DWORD error) {
  wchar_t reason[256] = {};
  DWORD n = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, reason,
                           256, nullptr);
  while (n > 0 && (reason[n - 1] == L'\r' || reason[n - 1] == L'\n' || reason[n - 1] == L' ')) reason[--n] = 0;
  if (n == 0) QvnFormatWf(reason, 256, L"Error %u.", static_cast<unsigned>(error));
  wchar_t text[640];
  QvnFormatWf(text, 640, L"%s\n\n%s", headline, reason);
  DebugPrint(kCplLogError, L"FailureMessageShow %s failed! %u", headline, static_cast<unsigned>(error));
  wchar_t caption[128] = {};
  GetWindowTextW(owner, caption, 128);
  MessageBoxW(owner, text, caption, MB_OK | MB_ICONERROR);
}

}  // namespace qvn
