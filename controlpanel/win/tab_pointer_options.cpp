#include "tab_pointer_options.h"

#include "log_levels.h"
#include "qvnlog.h"

INT_PTR QMCDlgTabPointerOptions::DialogProcedure(UINT, WPARAM, LPARAM) {
  DebugPrint(qvn::kCplLogTrace | qvn::kCplLogDialog, L"DlgProcPointerOptions");
  return 0;
}

int QMCDlgTabPointerOptions::Apply() { return 0; }
