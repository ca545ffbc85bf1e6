// The Buttons page (template 206): a function for each of buttons 1 to 6
// and the four chords of button 6 with buttons 1 to 4, "Restore defaults",
// the taskbar-icon switch and the link to the maker's web site.
#pragma once
#include "dlg_framework.h"

class QMCDlgTabButtons : public QMCDlgBasePropertyPage {
 public:
  INT_PTR DialogProcedure(UINT message, WPARAM wParam, LPARAM lParam) override;
  // Stores the taskbar-icon switch and each selector's function (a
  // selector without a recognised selection leaves its setting untouched),
  // shows what is now stored and tells the executive.
  int Apply() override;
};

// Fills the selectors and shows the stored global settings.
void InitButtonDlg(HWND dialog);
