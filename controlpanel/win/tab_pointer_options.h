// The Pointer Speed page (template 214): system pointer speed and the three toggle speeds.
// So far the page shows its template only: its controls are not yet bound
// to settings, and Apply stores nothing.
#pragma once
#include "dlg_framework.h"

class QMCDlgTabPointerOptions : public QMCDlgBasePropertyPage {
 public:
  INT_PTR DialogProcedure(UINT message, WPARAM wParam, LPARAM lParam) override;
  int Apply() override;
};
