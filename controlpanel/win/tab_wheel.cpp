#include "tab_wheel.h"

#include "cpl_log.h"
#include "qvnlog.h"

INT_PTR QMCDlgTabWheel::DialogProcedure(UINT, WPARAM, LPARAM) {
  DebugPrint(qvn::kCplLogTrace | qvn::kCplLogDialog, L"DlgProcWheel");
  return 0;
}

int QMCDlgTabWheel::Apply() { return 0; }
