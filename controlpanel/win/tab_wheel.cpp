#include "tab_wheel.h"

#include "log_levels.h"
#include "qvnlog.h"

INT_PTR QMCDlgTabWheel::DialogProcedure(UINT, WPARAM, LPARAM) {
  DebugPrint(qvn::kCplLogTrace | qvn::kCplLogDialog, L"DlgProcWheel");
  return 0;
}

int QMCDlgTabWheel::Apply() { return 0; }
