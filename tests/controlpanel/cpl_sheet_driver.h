// Drives the stand-in Mouse control panel (qvnmousecpl.exe) from another
// process as a person would: tabs chosen, functions chosen in selectors,
// buttons clicked with real mouse input through the system's queue.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "qvntest.h"

namespace cpltest {

extern const wchar_t kMouseKey[];  // "Control Panel\Mouse"

// The control panel library next to the tests, registered machine-wide
// through regsvr32 (true when regsvr32 reported success).
bool RegisterLibrary(const std::wstring& extraArgs = L"");
bool UnregisterLibrary(const std::wstring& extraArgs = L"");
std::wstring LibraryPath();
std::wstring ClsidText();  // "{...}" of the extension class

// Runs a program and waits (bounded) for its end; exit code or -1.
long RunAndWait(const std::wstring& program, const std::wstring& args, DWORD timeoutMs = 60000);

class CplSheet {
 public:
  ~CplSheet();
  // Starts the host (folder of the tests or hostDir) and waits until the
  // sheet is shown and idle.
  bool Open(bool wheelPage = true, int startPage = 0, const std::wstring& hostDir = L"");
  HWND Sheet() const { return sheet_; }

  // Captions of the tabs, in order (each tab is shown once to read it).
  std::vector<std::wstring> Tabs();
  // Shows the tab with that caption; false when there is none.
  bool ShowTab(const std::wstring& caption);
  HWND Page();  // the page shown now

  // Selector content on the page shown.
  std::wstring Shown(int selector);
  int Count(int selector);
  bool Checked(int control);
  // Chooses the entry with exactly that text, as a person's choice in
  // the list does (selection, then the selection-change notification).
  bool Choose(int selector, const std::wstring& text);
  // A real left click on the centre of a control of the page shown, or
  // of one of the sheet's own buttons (IDOK, IDCANCEL, kApply).
  bool ClickPageControl(int control);
  bool ClickSheetButton(int control);
  static constexpr int kApply = 0x3021;

  // Waits for the host's end; true when it ended by itself.
  bool WaitClosed(DWORD timeoutMs = 15000);
  // The host's report lines ("closed ok", "DllCanUnloadNow {...} S_OK").
  std::vector<std::wstring> Report() const;
  bool ReportHas(const std::wstring& line) const;

 private:
  bool ClickAt(HWND control);

  qvntest::Process host_;
  HWND sheet_ = nullptr;
  std::wstring dir_;
};

// Saves "Control Panel\Mouse" and puts it back: tests change it freely.
class MouseKeyGuard {
 public:
  MouseKeyGuard();
  ~MouseKeyGuard();

 private:
  bool saved_ = false;
};

}  // namespace cpltest
