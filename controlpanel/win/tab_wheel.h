// The Wheel page (template 213): wheel scroll amount and accelerated scrolling.
// So far the page shows its template only: its controls are not yet bound
// to settings, and Apply stores nothing.
#pragma once
#include "dlg_framework.h"

class QMCDlgTabWheel : public QMCDlgBasePropertyPage {
 public:
  INT_PTR DialogProcedure(UINT message, WPARAM wParam, LPARAM lParam) override;
  int Apply() override;
};
