// Calls that must run with the library's activation context (Common
// Controls version 6 from the library's manifest), whatever context the
// host process has. Each reports failure the way the wrapped call does
// when the context cannot be determined or activated.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>

namespace qvn {

INT_PTR IsolationAwareDialogBoxParamW(HINSTANCE instance, LPCWSTR templateName, HWND parent,
                                      DLGPROC procedure, LPARAM initParam);
HPROPSHEETPAGE IsolationAwareCreatePropertySheetPageW(PROPSHEETPAGEW* page);
BOOL IsolationAwareDestroyPropertySheetPage(HPROPSHEETPAGE page);
BOOL IsolationAwareGetOpenFileNameW(OPENFILENAMEW* ofn);

}  // namespace qvn
