// InstallSelectedDriver, DiInstallDriverW and DiUninstallDriverW as the
// system's driver-installation library offers them, for tests (Wine's
// InstallSelectedDriver and DiInstallDriverW do nothing, it has no
// DiUninstallDriverW). The driver store is Wine's INF folder, through
// Wine's own SetupCopyOEMInfW and SetupUninstallOEMInfW. Behaviour comes
// from the environment of the calling process:
//   QVN_NEWDEV_RECORD  file that gets one line per call:
//                      "<device instance id>|<manufacturer>|<owner class>|<backup>",
//                      "diinstall|<inf>|<flags>", "diuninstall|<inf>"
//   QVN_NEWDEV_MODE    "install" (default): puts the filter as the device's
//                      lower filter, or the package into the store; "reboot":
//                      the same and asks for a reboot; "fail": changes
//                      nothing, fails with ERROR_GEN_FAILURE.
//   QVN_NEWDEV_FAIL_DEVICE  device instance ID that fails as with "fail"
//                      whatever the mode.
#include <windows.h>
#include <setupapi.h>
#include <cfgmgr32.h>

#include <cstdio>
#include <cwchar>

namespace {

void RecordLine(const wchar_t* line) {
  wchar_t path[MAX_PATH];
  if (!GetEnvironmentVariableW(L"QVN_NEWDEV_RECORD", path, MAX_PATH)) return;
  char utf8[1600];
  if (!WideCharToMultiByte(CP_UTF8, 0, line, -1, utf8, sizeof(utf8), nullptr, nullptr)) return;
  FILE* f = _wfopen(path, L"a");
  if (!f) return;
  fputs(utf8, f);
  fclose(f);
}

bool ModeIs(const wchar_t* wanted) {
  wchar_t mode[32] = L"install";
  GetEnvironmentVariableW(L"QVN_NEWDEV_MODE", mode, 32);
  return wcscmp(mode, wanted) == 0;
}

void Record(HDEVINFO set, HWND owner, BOOL backup) {
  wchar_t id[MAX_DEVICE_ID_LEN] = L"?";
  wchar_t mfg[LINE_LEN] = L"?";
  wchar_t cls[64] = L"?";
  SP_DEVINFO_DATA dev{};
  dev.cbSize = sizeof(dev);
  if (SetupDiGetSelectedDevice(set, &dev)) {
    SetupDiGetDeviceInstanceIdW(set, &dev, id, MAX_DEVICE_ID_LEN, nullptr);
    SP_DRVINFO_DATA_W drv{};
    drv.cbSize = sizeof(drv);
    if (SetupDiGetSelectedDriverW(set, &dev, &drv)) wcsncpy(mfg, drv.MfgName, LINE_LEN - 1);
  }
  if (owner) GetClassNameW(owner, cls, 64);
  wchar_t line[512];
  _snwprintf(line, 511, L"%s|%s|%s|%d\n", id, mfg, cls, backup ? 1 : 0);
  line[511] = 0;
  RecordLine(line);
}

}  // namespace

extern "C" BOOL WINAPI InstallSelectedDriver(HWND owner, HDEVINFO set, LPCWSTR reserved, BOOL backup,
                                             PDWORD reboot) {
  Record(set, owner, backup);
  SP_DEVINFO_DATA dev{};
  dev.cbSize = sizeof(dev);
  if (!SetupDiGetSelectedDevice(set, &dev)) return FALSE;
  wchar_t id[MAX_DEVICE_ID_LEN] = L"";
  wchar_t failing[MAX_DEVICE_ID_LEN] = L"";
  SetupDiGetDeviceInstanceIdW(set, &dev, id, MAX_DEVICE_ID_LEN, nullptr);
  GetEnvironmentVariableW(L"QVN_NEWDEV_FAIL_DEVICE", failing, MAX_DEVICE_ID_LEN);
  if (ModeIs(L"fail") || (failing[0] && _wcsicmp(failing, id) == 0)) {
    SetLastError(ERROR_GEN_FAILURE);
    return FALSE;
  }
  static const wchar_t kFilters[] = L"QvnMouseDriverFilterHidUsb\0";
  if (!SetupDiSetDeviceRegistryPropertyW(set, &dev, SPDRP_LOWERFILTERS, reinterpret_cast<const BYTE*>(kFilters),
                                         sizeof(kFilters)))
    return FALSE;
  if (reboot) *reboot = ModeIs(L"reboot") ? 1 : 0;
  return TRUE;
}

extern "C" BOOL WINAPI DiInstallDriverW(HWND, LPCWSTR inf, DWORD flags, PBOOL needReboot) {
  wchar_t line[1100];
  _snwprintf(line, 1099, L"diinstall|%s|0x%x\n", inf ? inf : L"", flags);
  line[1099] = 0;
  RecordLine(line);
  if (ModeIs(L"fail")) {
    SetLastError(ERROR_GEN_FAILURE);
    return FALSE;
  }
  // Into the store; a package already there is no error.
  wchar_t dest[MAX_PATH];
  if (!SetupCopyOEMInfW(inf, nullptr, SPOST_PATH, SP_COPY_NOOVERWRITE, dest, MAX_PATH, nullptr, nullptr) &&
      GetLastError() != ERROR_FILE_EXISTS)
    return FALSE;
  if (needReboot) *needReboot = ModeIs(L"reboot");
  return TRUE;
}

extern "C" BOOL WINAPI DiUninstallDriverW(HWND, LPCWSTR inf, DWORD, PBOOL needReboot) {
  wchar_t line[1100];
  _snwprintf(line, 1099, L"diuninstall|%s\n", inf ? inf : L"");
  line[1099] = 0;
  RecordLine(line);
  const wchar_t* name = inf ? wcsrchr(inf, L'\\') : nullptr;
  if (!name || !SetupUninstallOEMInfW(name + 1, SUOI_FORCEDELETE, nullptr)) return FALSE;
  if (needReboot) *needReboot = FALSE;
  return TRUE;
}
