// The Click page (template 205): click lock and auto click.
// So far the page shows its template only: its controls are not yet bound
// to settings, and Apply stores nothing.
#pragma once
#include "dlg_framework.h"

class QMCDlgTabClick : public QMCDlgBasePropertyPage {
 public:
  INT_PTR DialogProcedure(UINT message, WPARAM wParam, LPARAM lParam) override;
  int Apply() override;
};
