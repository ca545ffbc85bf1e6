// Drives the control panel's modal dialogs inside the stand-in Mouse control
// panel (qvnmousecpl.exe) from the test process as a person would: real
// clicks and key presses through the system's input queue, selectors
// chosen as a choice in the list notifies its page, the real common file
// dialog. The library and the host come from the bin folder above the
// test's own.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "exec_runner.h"
#include "qvntest.h"

namespace dlgtest {

// The folder of the host and the library (bin, above the test's own).
std::wstring HostDir();

// The host process with its property sheet.
class Host {
 public:
  ~Host();
  bool Open();
  // Cancels the sheet (its modal dialogs first) and waits for the end.
  void Close();
  HWND Sheet() const { return sheet_; }
  HWND Page();  // the Buttons page (the sheet starts on it)
  DWORD Pid() const { return host_.Pid(); }
  // Selects the entry with that text in a selector of window and posts the
  // selection-change notification (the owner may open a modal dialog).
  bool Choose(HWND window, int selector, const std::wstring& text);

 private:
  qvntest::Process host_;
  HWND sheet_ = nullptr;
  std::wstring readyFile_;
};

// The tests' fixture: the library registered once per suite, the button
// settings cleared before and after each test, the host and the executive
// ended after it.
class DialogTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite();
  void SetUp() override;
  void TearDown() override;

  Host host_;
  qvntest::ExecRunner exec_;
};

// Drives the open-file dialog with that caption: types path into its
// file-name box and presses Open.
bool FileDialogChoose(DWORD pid, const std::wstring& caption, const std::wstring& path);

// Saves what the screen shows of window as a 24-bit BMP named
// <name>.bmp in the build tree's screenshots folder (build/win/screenshots).
bool SaveWindowPicture(HWND window, const std::wstring& name);

}  // namespace dlgtest
