// The device thread (the "link thread" in the log): owns the driver's
// filter device, keeps one event wait outstanding and hands every event to
// the dispatcher or the click-lock state machine. A failed wait (the mouse
// unplugged, a receiver dropping out) does not end it: it reopens the
// driver after the delays of link_recovery_core. Started and stopped by
// the main thread; it never waits for the setup tool (driver_update_request.h).
#pragma once
#include <windows.h>

struct QMEThreadDeviceData {
  HANDLE hThread;             // null while no thread runs
  HANDLE hEventStop;          // auto-reset, created non-signalled
  HANDLE hEventDeviceChange;  // auto-reset, created signalled: the first pass opens the device
  HANDLE hEventConfigChange;  // auto-reset, created non-signalled
  volatile LONG restartRequested;  // with hEventDeviceChange: close and reopen the driver
  wchar_t deviceName[MAX_PATH];
};

// The executive's one device thread.
extern QMEThreadDeviceData g_DeviceThreadData;

bool QMEThreadDeviceStart(QMEThreadDeviceData* data, const wchar_t* deviceName);
void QMEThreadDeviceRequestExitAndWait(QMEThreadDeviceData* data);
void QMEThreadDeviceSignalConfigChange(QMEThreadDeviceData* data);
// A device arrived or left, or a driver update ended: the thread tries the
// driver again if it is not open (an open link is left as it is; should
// the mouse have gone, its wait fails and the thread reopens by itself).
void QMEThreadDeviceSignalDeviceChange(QMEThreadDeviceData* data);
// The machine resumed: the thread closes the driver and opens it again
// (and sends the configuration), whatever state it was in.
void QMEThreadDeviceSignalRestart(QMEThreadDeviceData* data);

DWORD WINAPI QmeThreadDeviceRun(LPVOID threadData);
