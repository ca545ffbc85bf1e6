// The Click page (template 205): click lock and auto click, each with its
// activation delay stepped by an up-down, and single or double auto click.
#pragma once
#include "dlg_framework.h"

class QMCDlgTabClick : public QMCDlgBasePropertyPage {
 public:
  INT_PTR DialogProcedure(UINT message, WPARAM wParam, LPARAM lParam) override;
  // Stores the page and tells the executive (code 4).
  int Apply() override;

 private:
  void InitClickDlg();
};
