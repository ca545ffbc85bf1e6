// The Wheel page (template 213): the system's wheel scroll amount (a
// number of lines, or one screen per notch) and accelerated scrolling.
#pragma once
#include "dlg_framework.h"

class QMCDlgTabWheel : public QMCDlgBasePropertyPage {
 public:
  INT_PTR DialogProcedure(UINT message, WPARAM wParam, LPARAM lParam) override;
  // Sets the system's scroll amount as the page shows it, stores
  // accelerated scrolling and tells the executive (code 3).
  int Apply() override;

 private:
  void InitWheelDlg();
};
