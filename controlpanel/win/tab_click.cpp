#include "tab_click.h"

#include "log_levels.h"
#include "qvnlog.h"

INT_PTR QMCDlgTabClick::DialogProcedure(UINT, WPARAM, LPARAM) {
  DebugPrint(qvn::kCplLogDialog, L"DlgProcClick");
  return 0;
}

int QMCDlgTabClick::Apply() { return 0; }
