// The setup tool's driver update, run on a worker thread of its own so the
// device thread keeps serving the buttons meanwhile (the tool can take long,
// and an elevation prompt waits for the user). Requests name hardware
// identifiers (driver_update_request_core.h); one worker runs them one
// after the other, each identifier once however often it was asked for
// meanwhile. After a run the worker posts WM_APP_QUORVANE_DRIVER_UPDATED to
// the main window, which lets the device thread try the driver again.
#pragma once
#include <windows.h>

#include "driver_update_request_core.h"

// Queues the identifiers of `ids` and starts the worker when it is idle.
// Main thread.
void QMEDriverUpdateRequest(qvn::HardwareIdMask ids);
// Stops waiting for a running tool (it is left to finish) and ends the
// worker. Main thread, at exit.
void QMEDriverUpdateStop();

// Runs the setup tool's driver update for one hardware identifier, elevated
// again when it answers "access denied", each run waited for at most
// kQmeDriverUpdateWaitMs or until `stop` is signalled. The result is not used;
// true when the last run ended with exit code 0.
bool QMEDeviceInternalFiltersInstall(const wchar_t* hardwareId, HANDLE stop = nullptr);

// How often an "access denied" answer leads to another elevated run. Under
// Wine "runas" starts the tool unelevated, so a tool that always answers 5
// would otherwise be restarted for ever.
constexpr int kQmeDriverUpdateElevatedAttempts = 3;
// Longest wait for one run of the setup tool (an elevation prompt left open,
// a tool that hangs): it is then left to run and not waited for.
constexpr DWORD kQmeDriverUpdateWaitMs = 120000;
