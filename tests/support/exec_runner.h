// Starts and stops the executive for end-to-end tests.
#pragma once
#include <windows.h>

#include <string>

#include "qvntest.h"

namespace qvntest {

class ExecRunner {
 public:
  ~ExecRunner();
  // Sets HKLM\Software\Quorvane DebugLevel (0 removes it), starts
  // QvnMouseExec.exe from the bin folder and waits for its main window.
  bool Start(DWORD debugLevel = 0xFFFF, DWORD timeoutMs = 15000);
  // Exit through the tray menu's command (WM_COMMAND 105); waits for the end.
  bool Exit(DWORD* exitCode = nullptr, DWORD timeoutMs = 15000);
  HWND Window() const { return window_; }
  Process& Proc() { return process_; }
  DWORD Pid() const { return process_.Pid(); }

 private:
  Process process_;
  HWND window_ = nullptr;
};

// Sets (or with 0 removes) the DebugLevel value every program reads at start.
void SetDebugLevel(DWORD level);

}  // namespace qvntest
