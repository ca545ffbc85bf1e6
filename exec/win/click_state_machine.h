// The click-lock / auto-click / zoom state machine on the main thread, and
// its two parameter objects (re-read by the device thread after a settings
// change). Events arrive through the main window (WM_APP_QUORVANE_FSTM_EVENT,
// WM_APP_QUORVANE_HOOK_KEYPRESSED) and from its two thread timers.
#pragma once
#include <windows.h>

#include "click_state_machine_core.h"

class CQMEFstmEvtParamAutoClick {
 public:
  bool Initialize();  // reads CheckAutoClick
  bool Enabled() const { return m_enabled != 0; }

 private:
  volatile LONG m_enabled = 0;
};

class CQMEFstmEvtParamClickLock {
 public:
  bool Initialize();  // reads CheckClickLock
  bool Enabled() const { return m_enabled != 0; }

 private:
  volatile LONG m_enabled = 0;
};

extern CQMEFstmEvtParamAutoClick g_FstmParamAutoClick;
extern CQMEFstmEvtParamClickLock g_FstmParamClickLock;

// Builds the state table and reads the auto-click / click-lock parameters.
bool QMEFstmInitialize();
// Performs one event; main thread only.
void QMEFstmEvent(unsigned eventNumber, LPARAM argument);
// Idle state with both timers stopped (the driver link stopped). Main
// thread only.
void QMEFstmReset();

// Re-reads both parameter objects (device thread, after a settings change).
void QMEFstmParametersInitialize();

// The current state number (0..4), for diagnostics and tests.
int QMEFstmStateGet();
