// The one message the control panel shows when something the user asked
// for could not be saved: what failed, then the Windows error text.
#pragma once
#include <windows.h>

namespace qvn {

// A message box owned by owner, captioned like it: headline, a blank line
// and the system's text for error.
void FailureMessageShow(HWND owner, const wchar_t* headline, DWORD error);

}  // namespace qvn
