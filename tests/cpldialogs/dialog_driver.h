// Drives the control panel's modal dialogs inside the stand-in Mouse control
// panel (qvnmousecpl.exe) from the test process as a person would: real
// clicks and key presses through the system's input queue, selectors
// chosen as a choice in the list notifies its page, the real common file
// dialog. The library and the host come from the bin folder above the
// test's own.
#pragma once
#include <windows.h>

#include <string>

#include "qvntest.h"

namespace dlgtest {

// Registers ..\QvnMouseControlPanel.dll through regsvr32 (true on success).
bool RegisterLibrary();

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
  // Selector text shown.
  static std::wstring Shown(HWND window, int selector);

 private:
  qvntest::Process host_;
  HWND sheet_ = nullptr;
  std::wstring readyFile_;
};

// A visible top-level dialog of the process with that caption, waited for.
HWND WaitDialog(DWORD pid, const std::wstring& caption, DWORD timeoutMs = 10000);
bool WaitGone(HWND window, DWORD timeoutMs = 10000);
// Waits until window is the foreground and active window of its thread
// and, when focusControl is given, the focus is on it.
bool WaitActive(HWND window, HWND focusControl, DWORD timeoutMs = 10000);

// A real left click on the centre of a window (check boxes on their box).
bool Click(HWND control);
// A key pressed and released as a keyboard sends it (virtual key and scan
// code); Down/Up for held keys.
void KeyDown(WORD vk);
void KeyUp(WORD vk);
void Tap(WORD vk);
// Characters typed through the input queue (Unicode key events).
void TypeText(const std::wstring& text);

std::wstring Text(HWND window);
bool WaitText(HWND window, const std::wstring& text, DWORD timeoutMs = 5000);
bool Checked(HWND dialog, int control);
// Polls while pumping this thread's messages.
template <class F>
bool WaitPumping(F pred, DWORD timeoutMs) {
  DWORD start = GetTickCount();
  for (;;) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    if (pred()) return true;
    if (GetTickCount() - start >= timeoutMs) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
}

// The text value name under HKCU "Control Panel\Mouse" (app: under
// "App\<app>"); waits until it equals expected.
std::wstring Stored(const wchar_t* name, const wchar_t* app = nullptr);
bool WaitStored(const wchar_t* name, const std::wstring& expected, const wchar_t* app = nullptr,
                DWORD timeoutMs = 5000);

// Drives the open-file dialog with that caption: types path into its
// file-name box and presses Open.
bool FileDialogChoose(DWORD pid, const std::wstring& caption, const std::wstring& path);

// Saves what the screen shows of window as a 24-bit BMP named
// <name>.bmp in the build tree's screenshots folder (build/win/screenshots).
bool SaveWindowPicture(HWND window, const std::wstring& name);

}  // namespace dlgtest
