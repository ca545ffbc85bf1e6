#include "setup_run.h"

#include <setupapi.h>

#include <string>

#include "debug_level.h"
#include "difx_ops.h"
#include "dll_register.h"
#include "process_kill.h"
#include "registry_util.h"
#include "session_start.h"
#include "setup_cmdline.h"
#include "setup_log.h"
#include "setupapi_ops.h"

using qvn::setup::OptionId;

namespace {

DWORD QSCAMainInternalDeviceNodeCreate(const wchar_t* infPath, const wchar_t* hardwareId) {
  SetupDebugPrint(qvn::kSetupLogTrace, L">>> QSCAMainInternalDeviceNodeCreate\n");
  GUID classGuid;
  wchar_t className[32] = {};  // the system's longest class name
  if (!SetupDiGetINFClassW(infPath, &classGuid, className, 32, nullptr)) {
    SetupDebugPrint(qvn::kSetupLogError, L"QSCAMainInternalDeviceNodeCreate SetupDiGetINFClass failed with dwLastError 0x%x\n",
                    GetLastError());
    return 2;
  }
  if (!SetupApi::DeviceNodeCreate(hardwareId, &classGuid, className)) {
    SetupDebugPrint(qvn::kSetupLogError, L"QSCAMainInternalDeviceNodeCreate DeviceNodeCreate failed!\n");
    return 3;
  }
  SetupDebugPrint(qvn::kSetupLogTrace, L"<<< QSCAMainInternalDeviceNodeCreate\n");
  return 0;
}

DWORD QSCAMainInternalDeviceNodesRemoveAll(const wchar_t* classGuidText, const wchar_t* hardwareId) {
  SetupDebugPrint(qvn::kSetupLogTrace, L">>> QSCAMainInternalDeviceNodesRemoveAll\n");
  BOOL reboot = FALSE;
  if (SetupApi::DeviceInstanceRemoveAllPresentAndNonPresent(classGuidText, hardwareId, &reboot))
    SetupDebugPrint(qvn::kSetupLogError, L"Reboot necessary after uninstall has finished!\n");
  else
    SetupDebugPrint(qvn::kSetupLogError, L"DeviceInstanceRemoveAllPresentAndNonPresent failed %s \n", classGuidText);
  SetupDebugPrint(qvn::kSetupLogTrace, L"<<< QSCAMainInternalDeviceNodesRemoveAll\n");
  return 0;
}

DWORD QSCAMainInternalDriverPackageUninstall(const wchar_t* infName) {
  SetupDebugPrint(qvn::kSetupLogTrace, L">>> QSCAMainInternalDriverPackageUninstall\n");
  DifxApi::UninstallPackagesByOemInf(infName);
  SetupApi::OemInfFilesDelete(infName);
  SetupDebugPrint(qvn::kSetupLogTrace, L"<<< QSCAMainInternalDriverPackageUninstall\n");
  return 0;
}

DWORD DriverPackageExit(DWORD result, const wchar_t* failedLine) {
  if (result != 0) SetupDebugPrint(qvn::kSetupLogError, L"%s", failedLine);
  return qvn::setup::DriverPackageExitCode(result);
}

// Every argument is in a path buffer of its own before a handler runs.
struct Arguments {
  wchar_t field[4][qvn::setup::kFieldChars];
};

DWORD Dispatch(const qvn::setup::OptionRow& row, const Arguments& a) {
  const wchar_t* a1 = a.field[1];
  const wchar_t* a2 = a.field[2];
  switch (row.id) {
    case OptionId::kDeviceNodeCreate: {
      DWORD rc = QSCAMainInternalDeviceNodeCreate(a1, a2);
      if (rc != 0) SetupDebugPrint(qvn::kSetupLogError, L"QSCAMainInternalDeviceNodeCreate failed!\n");
      return rc;
    }
    case OptionId::kDeviceNodesRemoveAll:
      return QSCAMainInternalDeviceNodesRemoveAll(a1, a2);
    case OptionId::kDriverPackagePreinstall:
      return DriverPackageExit(DifxApi::DriverPackagePreinstall(a1), L"DifxApi::DriverPackagePreinstall failed!\n");
    case OptionId::kDriverPackageInstall:
      return DriverPackageExit(DifxApi::DriverPackageInstall(a1), L"DifxApi::DriverPackageInstall failed!\n");
    case OptionId::kDriverUpdate: {
      bool accessDenied = false;
      bool ok = SetupApi::DriverUpdate(a1, a2, &accessDenied);
      if (!ok && accessDenied)
        SetupDebugPrint(qvn::kSetupLogDevice, L"SetupApi::DriverUpdate ERROR_ACCESS_DENIED!\n");
      else if (!ok)
        SetupDebugPrint(qvn::kSetupLogError, L"SetupApi::DriverUpdate failed!\n");
      return qvn::setup::DriverUpdateExitCode(ok, accessDenied);
    }
    case OptionId::kDriverPackageUninstall:
      return QSCAMainInternalDriverPackageUninstall(a1);
    case OptionId::kDeviceInstancesUninstall:
      SetupApi::DeviceInstancesUninstall(a1);
      return 0;
    case OptionId::kRegistryPropertyFriendlyNameSet:
      if (!SetupApi::RegistryPropertyStringSet(L"HID", a1, L"Quorvane Tallgrip"))
        SetupDebugPrint(qvn::kSetupLogError, L"SetupApi::RegistryPropertyStringSet failed!\n");
      return 0;
    case OptionId::kExecutableStart:
      Utilities::ExecutableStart(a1);
      return 0;
    case OptionId::kRegisterDll:
      Utilities::DllRegister(a1);
      return 0;
    case OptionId::kWindowsProcessTerminate:
      Utilities::ProcessesKillByName(a1);
      return 0;
    case OptionId::kWindowCloseByClassName: {
      HWND window = FindWindowW(a1, nullptr);
      if (!window)
        SetupDebugPrint(qvn::kSetupLogError, L"_tWinMain FindWindowW failed! %d\n", GetLastError());
      else
        PostMessageW(window, WM_DESTROY, 0, 0);
      return 0;
    }
    case OptionId::kReEnumerate:
      SetupApi::DeviceNodeRootReEnumerate(0);
      SetupDebugPrint(qvn::kSetupLogTrace, L"<<< _tWinMain\n");
      return 0;
    case OptionId::kUnrecognized:
      break;
  }
  return 0;
}

}  // namespace

DWORD QvnSetupRun(const wchar_t* commandLine) {
  DWORD level = 0, type = 0, bytes = 0;
  if (QvnRegistryValueGet(kSetupRegistryLog, HKEY_LOCAL_MACHINE, L"Software\\Quorvane", L"DebugLevel",
                          reinterpret_cast<BYTE*>(&level), sizeof(level), &type, &bytes) == ERROR_SUCCESS &&
      qvn::DebugLevelValueUsable(type, bytes))
    g_SetupLogMask = level;
  g_SetupLogMask |= qvn::kSetupLogAlwaysOn;

  SetupDebugPrint(qvn::kSetupLogTrace, L">>> _tWinMain\n");
  SYSTEMTIME now;
  GetLocalTime(&now);
  SetupDebugPrint(qvn::kSetupLogInfo, L"Call: %d/%d/%d %d:%d:%d\nBuild: %S %S\n", now.wMonth, now.wDay, now.wYear, now.wHour,
                  now.wMinute, now.wSecond, __DATE__, __TIME__);

  auto split = qvn::setup::SplitCommandLine(commandLine);
  if (split.status == qvn::setup::SplitStatus::kEmpty) {
    SetupDebugPrint(qvn::kSetupLogError, L"_tWinMain: No command line parameter\n");
    return 0;
  }
  for (size_t i = 0; i < split.fields.size(); ++i)
    SetupDebugPrint(qvn::kSetupLogInfo, i == 0 ? L"Parameter[%d]: %s\n" : L"Parameter[%d]:  %s\n", static_cast<int>(i),
                    split.fields[i].c_str());

  if (split.status == qvn::setup::SplitStatus::kTooManyFields) {
    SetupDebugPrint(qvn::kSetupLogError, L"_tWinMain Error too many parameters! %d given, at most %d\n",
                    static_cast<int>(split.fieldCount), static_cast<int>(qvn::setup::kMaxFields));
    return qvn::setup::kExitBadCommandLine;
  }
  if (split.status == qvn::setup::SplitStatus::kFieldTooLong) {
    SetupDebugPrint(qvn::kSetupLogError, L"_tWinMain Error parameter too long! Parameter[%d] has %d characters, at most %d\n",
                    static_cast<int>(split.badField), static_cast<int>(split.fields[split.badField].size()),
                    static_cast<int>(qvn::setup::kFieldChars - 1));
    return qvn::setup::kExitBadCommandLine;
  }

  const auto* row = qvn::setup::OptionLookup(split.fields[0].c_str());
  if (!row) {
    SetupDebugPrint(qvn::kSetupLogError, L"_tWinMain Error unrecognized parameter! %s\n", split.fields[0].c_str());
    SetupDebugPrint(qvn::kSetupLogTrace, L"<<< _tWinMain\n");
    return 0;
  }
  if (split.fields.size() - 1 < row->requiredArgs) {
    SetupDebugPrint(qvn::kSetupLogError, L"_tWinMain Error missing parameter! %s needs %d argument(s), %d given\n", row->name,
                    static_cast<int>(row->requiredArgs), static_cast<int>(split.fields.size() - 1));
    return qvn::setup::kExitBadCommandLine;
  }
  Arguments args{};
  for (size_t i = 0; i < 4 && i < split.fields.size(); ++i)
    wcsncpy(args.field[i], split.fields[i].c_str(), qvn::setup::kFieldChars - 1);
  return Dispatch(*row, args);
}
