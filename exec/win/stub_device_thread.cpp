// Placeholder until the driver link lands: no device thread yet.
#include "exec_parts.h"
#include "qvnlog.h"

struct QMEThreadDeviceData { HANDLE hThread; };
QMEThreadDeviceData g_DeviceThreadData{};
bool QMEThreadDeviceStart(QMEThreadDeviceData*, const wchar_t*) { return true; }
void QMEThreadDeviceRequestExitAndWait(QMEThreadDeviceData*) {}
void QMEThreadDeviceSignalConfigChange(QMEThreadDeviceData*) {}
void QMEThreadDeviceSignalDeviceChange(QMEThreadDeviceData*) {}
