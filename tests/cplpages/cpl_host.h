// The control panel's pages as a person meets them: the extension is
// registered through the system's registrar, the stand-in Mouse control
// panel shows "Mouse Properties", and the test clicks and types through the
// system's input queue. Control states are read with window messages.
#pragma once
#include <windows.h>

#include <string>

#include "dialog_controls.h"
#include "qvntest.h"
#include "window_waits.h"

namespace cpltest {

// Sheet positions of the pages in the stand-in panel.
enum PageIndex { kButtonsPage = 0, kPointerPage = 1, kWheelPage = 2, kBreakPage = 3, kClickPage = 4 };

class CplHost {
 public:
  ~CplHost();
  // Starts the panel on page `index` (with more of its options) and waits
  // until that page is shown and the panel is idle.
  bool Start(int index, const std::wstring& options = L"");
  // Cancel (the quit file), then waits for the end.
  bool Close();
  HWND Sheet() const { return sheet_; }
  HWND Page() const { return page_; }
  HWND Item(int id) const { return GetDlgItem(page_, id); }
  DWORD Pid() const { return process_.Pid(); }
  bool Running() const { return process_.Running(); }

  // Real input: a left click at the fraction (fx, fy) of the window, the
  // sheet brought to the front first; returns once the panel handled it.
  void Click(HWND window, double fx = 0.5, double fy = 0.5) const;
  void ClickItem(int id, double fx = 0.5, double fy = 0.5) const { Click(Item(id), fx, fy); }
  // Up arrow (upper half) or down arrow (lower half) of an up-down.
  void UpDown(int id, bool up) const { ClickItem(id, 0.5, up ? 0.25 : 0.75); }
  // The sheet's Apply and OK buttons. Apply waits until the sheet has
  // applied every page (it then disables Apply again), OK until the sheet
  // is gone; false when that does not happen in time.
  bool Apply() const;
  bool ApplyEnabled() const;
  bool Ok() const;

  std::wstring Text(int id) const { return qvntest::WindowText(Item(id)); }
  bool Checked(int id) const { return qvntest::IsChecked(page_, id); }
  bool Enabled(int id) const { return IsWindowEnabled(Item(id)) != FALSE; }
  bool WaitText(int id, const std::wstring& text, DWORD ms = 5000) const {
    return qvntest::WaitWindowText(Item(id), text, ms);
  }

 private:
  qvntest::Process process_;
  std::wstring readyFile_, quitFile_;
  HWND sheet_ = nullptr;
  HWND page_ = nullptr;
};

// A small valid PCM wave file (a short tone).
bool WaveFileWrite(const std::wstring& path, DWORD milliseconds = 300);

}  // namespace cpltest
