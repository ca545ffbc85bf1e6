// Drives the stand-in Mouse control panel (qvnmousecpl.exe) from another
// process as a person would: tabs chosen, functions chosen in selectors,
// buttons clicked with real mouse input through the system's queue.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "dialog_controls.h"
#include "input_clicks.h"
#include "qvntest.h"

namespace cpltest {

std::wstring ClsidText();  // "{...}" of the extension class

class CplSheet {
 public:
  ~CplSheet();
  // Starts the host (folder of the tests or hostDir) and waits until the
  // sheet is shown and idle.
  bool Open(bool wheelPage = true, int startPage = 0, const std::wstring& hostDir = L"");
  HWND Sheet() const { return sheet_; }
  DWORD Pid() const { return host_.Pid(); }

  // Captions of the tabs, in order (each tab is shown once to read it).
  std::vector<std::wstring> Tabs();
  // Shows the tab with that caption; false when there is none.
  bool ShowTab(const std::wstring& caption);
  HWND Page();  // the page shown now

  // Selector content on the page shown.
  std::wstring Shown(int selector) { return qvntest::SelectorText(Page(), selector); }
  int Count(int selector);
  bool Checked(int control) { return qvntest::IsChecked(Page(), control); }
  // Chooses the entry with exactly that text, as a person's choice in
  // the list does; returns once the page handled it.
  bool Choose(int selector, const std::wstring& text) {
    return qvntest::ChooseInSelector(Page(), selector, text, qvntest::Notify::Send);
  }
  // A real left click on a control of the page shown, or of one of the
  // sheet's own buttons (IDOK, IDCANCEL, kApply).
  bool ClickPageControl(int control) { return qvntest::ClickWindow(GetDlgItem(Page(), control)); }
  bool ClickSheetButton(int control) { return qvntest::ClickWindow(GetDlgItem(sheet_, control)); }
  static constexpr int kApply = 0x3021;

  // Waits for the host's end; true when it ended by itself.
  bool WaitClosed(DWORD timeoutMs = 15000);
  // The host's report lines ("closed ok", "DllCanUnloadNow {...} S_OK").
  std::vector<std::wstring> Report() const;
  bool ReportHas(const std::wstring& line) const;

 private:
  qvntest::Process host_;
  HWND sheet_ = nullptr;
  std::wstring dir_;
};

}  // namespace cpltest
