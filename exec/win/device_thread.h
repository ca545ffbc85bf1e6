// The device thread (the "link thread" in the log): owns the driver's
// filter device, keeps one event wait outstanding and hands every event to
// the dispatcher or the click-lock state machine. Started and stopped by
// the main thread.
#pragma once
#include <windows.h>

struct QMEThreadDeviceData {
  HANDLE hThread;             // null while no thread runs
  HANDLE hEventStop;          // auto-reset, created non-signalled
  HANDLE hEventDeviceChange;  // auto-reset, created signalled: the first pass opens the device
  HANDLE hEventConfigChange;  // auto-reset, created non-signalled
  wchar_t deviceName[MAX_PATH];
};

// The executive's one device thread.
extern QMEThreadDeviceData g_DeviceThreadData;

bool QMEThreadDeviceStart(QMEThreadDeviceData* data, const wchar_t* deviceName);
void QMEThreadDeviceRequestExitAndWait(QMEThreadDeviceData* data);
void QMEThreadDeviceSignalConfigChange(QMEThreadDeviceData* data);
void QMEThreadDeviceSignalDeviceChange(QMEThreadDeviceData* data);

DWORD WINAPI QmeThreadDeviceRun(LPVOID threadData);

// Runs the setup tool's driver update for one hardware identifier, elevated
// again when it answers "access denied". The result is not used.
void QMEDeviceInternalFiltersInstall(const wchar_t* hardwareId);

// How often an "access denied" answer leads to another elevated run. Under
// Wine "runas" starts the tool unelevated, so a tool that always answers 5
// would otherwise be restarted for ever.
constexpr int kQmeDriverUpdateElevatedAttempts = 3;
