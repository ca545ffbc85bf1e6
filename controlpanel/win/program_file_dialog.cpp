#include "program_file_dialog.h"

#include <commdlg.h>

#include <cwchar>

#include "log_levels.h"
#include "isolation_aware.h"
#include "qvnlog.h"

bool QMCProgramFileChoose(HWND owner, const wchar_t* title, wchar_t* path) {
  static const wchar_t kFilter[] = L"Programs\0*.EXE;*.COM;*.BAT\0";
  wchar_t chosen[MAX_PATH] = {};
  OPENFILENAMEW ofn = {};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = kFilter;
  ofn.lpstrFile = chosen;
  ofn.nMaxFile = MAX_PATH;
  ofn.lpstrTitle = title;
  if (!qvn::IsolationAwareGetOpenFileNameW(&ofn)) {
    DWORD error = CommDlgExtendedError();
    if (error) DebugPrint(qvn::kCplLogError, L"QMCProgramFileChoose GetOpenFileName failed! %d", error);
    return false;
  }
  chosen[MAX_PATH - 1] = 0;
  wcscpy(path, chosen);
  return true;
}
