#include "tab_pointer_options.h"

#include "cpl_log.h"
#include "qvnlog.h"

INT_PTR QMCDlgTabPointerOptions::DialogProcedure(UINT, WPARAM, LPARAM) {
  DebugPrint(qvn::kCplLogTrace | qvn::kCplLogDialog, L"DlgProcPointerOptions");
  return 0;
}

int QMCDlgTabPointerOptions::Apply() { return 0; }
