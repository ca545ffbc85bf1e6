// The Break page (template 201): the break and resume reminders, their
// minutes, alerts and sounds, with Browse and a preview button per sound.
#pragma once
#include "break_preview.h"
#include "dlg_framework.h"

class QMCDlgTabBreak : public QMCDlgBasePropertyPage {
 public:
  INT_PTR DialogProcedure(UINT message, WPARAM wParam, LPARAM lParam) override;
  // Refuses minutes outside 1 to 999 (nothing stored); otherwise stores the
  // page, shows what is now stored and asks the executive to restart its
  // break timers.
  int Apply() override;

 private:
  void SoundBrowse(int listId);
  qvn::BreakPreview m_preview;
};

// Fills the page from the settings (check boxes, both sound lists from the
// Windows media folder plus the stored sounds, minutes).
void InitBreakDlg(HWND page);
