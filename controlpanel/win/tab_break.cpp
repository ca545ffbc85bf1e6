#include "tab_break.h"

#include "log_levels.h"
#include "qvnlog.h"

INT_PTR QMCDlgTabBreak::DialogProcedure(UINT, WPARAM, LPARAM) {
  DebugPrint(qvn::kCplLogDialog, L"DlgProcBreak");
  return 0;
}

int QMCDlgTabBreak::Apply() { return 0; }
