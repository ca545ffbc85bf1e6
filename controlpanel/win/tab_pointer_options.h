// The Pointer Speed page (template 214): the system pointer speed with its
// enhance-precision switch, and three further speeds between which the
// executive toggles, with the toggle's keyboard shortcut.
#pragma once
#include "dlg_framework.h"

class QMCDlgTabPointerOptions : public QMCDlgBasePropertyPage {
 public:
  INT_PTR DialogProcedure(UINT message, WPARAM wParam, LPARAM lParam) override;
  // Stores the rows and the shortcut, sets the system speed and tells the
  // executive (code 2).
  int Apply() override;
};

// Counts the checked toggle rows (271..273): with two or more it disables
// the main speed controls and returns the lowest checked row, otherwise
// it enables them and returns 0.
int ToggleSpeedsCount(HWND page);
// For a row's selection box: enables or disables that row's controls by
// its check state, then ToggleSpeedsCount. Other identifiers: nothing.
void ToggleSpeedRowEnable(HWND page, int checkBoxId);
// Shows the stored rows and shortcut; the row in force shows the system's
// present speed and enhance state. Writes nothing.
void PointerPageInit(HWND page);
