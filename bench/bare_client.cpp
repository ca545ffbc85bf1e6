// The least a client of the mouse driver can do, as the yardstick of the
// end-to-end benchmark: keep one event wait outstanding on the filter
// device and answer each press or release with the right-button injection
// (what the default assignment of button 3 does), nothing else. Serves
// `events` records, then exits with 0 (1 when the driver fails).
//   qvn_bare_client.exe events
#include <windows.h>

#include <cstdio>
#include <cwchar>

#include "device_filter.h"
#include "driver_protocol.h"
#include "inject.h"

int wmain(int argc, wchar_t** argv) {
  long events = argc > 1 ? wcstol(argv[1], nullptr, 10) : 0;
  if (events <= 0) {
    fprintf(stderr, "usage: qvn_bare_client.exe events\n");
    return 2;
  }
  QMEDeviceFilter filter;
  HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (!done || !filter.Create(QVN_FILTER_DEVICE_NAME)) {
    fprintf(stderr, "no filter device (%lu)\n", GetLastError());
    return 1;
  }
  const uint8_t input[2] = {0, 0};
  for (long served = 0; served < events; ++served) {
    QvnDriverEvent record{};
    OVERLAPPED overlapped{};
    overlapped.hEvent = done;
    ResetEvent(done);
    if (!filter.IoctlEventWait(&overlapped, input, &record)) return 1;
    if (WaitForSingleObject(done, 60000) != WAIT_OBJECT_0 || !filter.GetOverlappedResult(&overlapped)) return 1;
    if (record.EventType == 1 || record.EventType == 2) QMEUtilMouseButtonSimulate(2, record.EventType == 1);
  }
  return 0;
}
