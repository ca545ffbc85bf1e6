#include "driver_update_request.h"

#include <objbase.h>

#include "exec_app.h"
#include "exec_util.h"
#include "qvnlog.h"

namespace {

const wchar_t kSetupToolFile[] = L"QvnSetupCustomAction.exe";

volatile LONG g_pending = 0;   // identifiers asked for and not yet taken by the worker
volatile LONG g_running = 0;   // 1 while a worker runs
HANDLE g_worker = nullptr;     // main thread only
HANDLE g_stop = nullptr;       // manual reset; created once

DWORD WINAPI DriverUpdateWorker(void*) {
  HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  for (;;) {
    LONG ids = InterlockedExchange(&g_pending, 0);
    if (ids == 0) {
      InterlockedExchange(&g_running, 0);
      // A request that came between the exchange and now found the worker
      // still running: take it on.
      if (g_pending == 0 || InterlockedCompareExchange(&g_running, 1, 0) != 0) break;
      continue;
    }
    for (int i = 0; i < qvn::kMouseHardwareIdCount; ++i) {
      if (!(ids & (1L << i))) continue;
      if (WaitForSingleObject(g_stop, 0) == WAIT_OBJECT_0) break;
      QMEDeviceInternalFiltersInstall(qvn::MouseHardwareId(i), g_stop);
      // Whatever the answer, the driver may be there now.
      if (g_hMainWnd) PostMessageW(g_hMainWnd, WM_APP_QUORVANE_DRIVER_UPDATED, static_cast<WPARAM>(i), 0);
    }
  }
  if (SUCCEEDED(com)) CoUninitialize();
  return 0;
}

}  // namespace

void QMEDriverUpdateRequest(qvn::HardwareIdMask ids) {
  ids &= qvn::kAllMouseHardwareIds;
  if (ids == 0) return;
  if (!g_stop) g_stop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (!g_stop) {
    DebugPrint(qvn::kExecLogError, L"QMEDriverUpdateRequest CreateEvent failed! %d", GetLastError());
    return;
  }
  InterlockedOr(&g_pending, static_cast<LONG>(ids));
  if (InterlockedCompareExchange(&g_running, 1, 0) != 0) return;  // the running worker takes them
  if (g_worker) CloseHandle(g_worker);
  g_worker = CreateThread(nullptr, 0, DriverUpdateWorker, nullptr, 0, nullptr);
  if (!g_worker) {
    DebugPrint(qvn::kExecLogError, L"QMEDriverUpdateRequest CreateThread failed! %d", GetLastError());
    InterlockedExchange(&g_running, 0);
  }
}

void QMEDriverUpdateStop() {
  if (!g_worker) return;
  SetEvent(g_stop);
  WaitForSingleObject(g_worker, INFINITE);
  CloseHandle(g_worker);
  g_worker = nullptr;
  InterlockedExchange(&g_pending, 0);
  ResetEvent(g_stop);
}

bool QMEDeviceInternalFiltersInstall(const wchar_t* hardwareId, HANDLE stop) {
  DebugPrint(qvn::kExecLogTrace, L">>> QMEDeviceInternalFiltersInstall %s", hardwareId);
  wchar_t dir[kQvnPathChars];
  if (!QMEUtilGetCurrentModulePath(nullptr, dir)) {
    DebugPrint(qvn::kExecLogError, L"QMEDeviceInternalFiltersInstall QMEUtilGetCurrentModulePath failed!");
    return false;
  }
  wchar_t file[kQvnPathChars];
  wchar_t params[kQvnPathChars];
  if (QvnFormatWf(dir, kQvnPathChars, L"%s\\", wcslen(dir) ? dir : L".") < 0 ||
      QvnFormatWf(file, kQvnPathChars, L"%s%s", dir, kSetupToolFile) < 0 ||
      QvnFormatWf(params, kQvnPathChars, L"-DriverUpdate,%s,%s", hardwareId, QVN_MAIN_WINDOW_CLASS) < 0) {
    DebugPrint(qvn::kExecLogError, L"QMEDeviceInternalFiltersInstall path too long!");
    return false;
  }
  bool elevated = false;
  int elevatedRuns = 0;
  for (;;) {
    DWORD exitCode = 0;
    if (!QMEUtilShellExecuteProcessAndWait(file, dir, params, elevated, &exitCode, stop, kQmeDriverUpdateWaitMs)) {
      DebugPrint(qvn::kExecLogError, L"QMEDeviceInternalFiltersInstall QMEUtilShellExecuteProcessAndWait failed!");
      return false;
    }
    DebugPrint(qvn::kExecLogInfo, L"QMEDeviceInternalFiltersInstall %s exit code %u", hardwareId,
               static_cast<unsigned>(exitCode));
    if (exitCode == 0) return true;
    if (exitCode == ERROR_ACCESS_DENIED) {
      DebugPrint(qvn::kExecLogInfo, L"QMEDeviceInternalFiltersInstall ERROR_ACCESS_DENIED!");
      if (elevatedRuns >= kQmeDriverUpdateElevatedAttempts) {
        DebugPrint(qvn::kExecLogError, L"QMEDeviceInternalFiltersInstall still denied after %d elevated runs, giving up!",
                   elevatedRuns);
        return false;
      }
      ++elevatedRuns;
      elevated = true;
      continue;
    }
    DebugPrint(qvn::kExecLogError, L"QMEDeviceInternalFiltersInstall ExitCode unexpected failure!");
    return false;
  }
}
