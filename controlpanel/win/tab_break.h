// The Break page (template 201): break and resume reminders.
// So far the page shows its template only: its controls are not yet bound
// to settings, and Apply stores nothing.
#pragma once
#include "dlg_framework.h"

class QMCDlgTabBreak : public QMCDlgBasePropertyPage {
 public:
  INT_PTR DialogProcedure(UINT message, WPARAM wParam, LPARAM lParam) override;
  int Apply() override;
};
