#include "setup_run.h"

#include <setupapi.h>

#include <string>

#include "debug_level.h"
#include "dll_register.h"
#include "driver_package_ops.h"
#include "process_kill.h"
#include "registry_util.h"
#include "session_start.h"
#include "setup_cmdline.h"
#include "setup_exit_codes.h"
#include "setup_log.h"
#include "setupapi_ops.h"

using qvn::setup::OptionId;
using qvn::setup::Outcome;

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

Outcome QSCAMainInternalDeviceNodesRemoveAll(const wchar_t* classGuidText, const wchar_t* hardwareId) {
  SetupDebugPrint(qvn::kSetupLogTrace, L">>> QSCAMainInternalDeviceNodesRemoveAll\n");
  Outcome outcome = SetupApi::DeviceInstanceRemoveAllPresentAndNonPresent(classGuidText, hardwareId);
  if (outcome == Outcome::kRebootRequired)
    SetupDebugPrint(qvn::kSetupLogError, L"Reboot necessary after uninstall has finished!\n");
  else if (outcome == Outcome::kFailed)
    SetupDebugPrint(qvn::kSetupLogError, L"DeviceInstanceRemoveAllPresentAndNonPresent failed %s \n", classGuidText);
  SetupDebugPrint(qvn::kSetupLogTrace, L"<<< QSCAMainInternalDeviceNodesRemoveAll\n");
  return outcome;
}

Outcome QSCAMainInternalDriverPackageUninstall(const wchar_t* infName) {
  SetupDebugPrint(qvn::kSetupLogTrace, L">>> QSCAMainInternalDriverPackageUninstall\n");
  // Through the store's own removal only: the store keeps its own copy of
  // every package, and INF files deleted by hand leave it orphaned there.
  Outcome outcome = DifxApi::UninstallPackagesByOemInf(infName);
  SetupDebugPrint(qvn::kSetupLogTrace, L"<<< QSCAMainInternalDriverPackageUninstall\n");
  return outcome;
}

Outcome Logged(Outcome outcome, const wchar_t* failedLine) {
  if (outcome == Outcome::kFailed) SetupDebugPrint(qvn::kSetupLogError, L"%s", failedLine);
  return outcome;
}

Outcome Succeeded(bool ok) { return ok ? Outcome::kDone : Outcome::kFailed; }

// The option's outcome; "-DeviceNodeCreate" has exit codes of its own.
Outcome Dispatch(OptionId id, const std::wstring& a1, const std::wstring& a2, DWORD* ownExitCode) {
  switch (id) {
    case OptionId::kDeviceNodeCreate: {
      DWORD rc = QSCAMainInternalDeviceNodeCreate(a1.c_str(), a2.c_str());
      if (rc != 0) SetupDebugPrint(qvn::kSetupLogError, L"QSCAMainInternalDeviceNodeCreate failed!\n");
      *ownExitCode = rc;
      return rc == 0 ? Outcome::kDone : Outcome::kFailed;
    }
    case OptionId::kDeviceNodesRemoveAll:
      return QSCAMainInternalDeviceNodesRemoveAll(a1.c_str(), a2.c_str());
    case OptionId::kDriverPackagePreinstall:
      return Logged(DifxApi::DriverPackagePreinstall(a1.c_str()), L"DifxApi::DriverPackagePreinstall failed!\n");
    case OptionId::kDriverPackageInstall:
      return Logged(DifxApi::DriverPackageInstall(a1.c_str()), L"DifxApi::DriverPackageInstall failed!\n");
    case OptionId::kDriverPackageRollback:
      return Logged(DifxApi::DriverPackageRollback(a1.c_str()), L"DifxApi::DriverPackageRollback failed!\n");
    case OptionId::kDriverUpdate: {
      bool accessDenied = false;
      bool ok = SetupApi::DriverUpdate(a1.c_str(), a2.c_str(), &accessDenied);
      if (!ok && accessDenied) {
        SetupDebugPrint(qvn::kSetupLogDevice, L"SetupApi::DriverUpdate ERROR_ACCESS_DENIED!\n");
        return Outcome::kAccessDenied;
      }
      if (!ok) SetupDebugPrint(qvn::kSetupLogError, L"SetupApi::DriverUpdate failed!\n");
      return Succeeded(ok);
    }
    case OptionId::kDriverPackageUninstall:
      return Logged(QSCAMainInternalDriverPackageUninstall(a1.c_str()), L"DifxApi::UninstallPackagesByOemInf failed!\n");
    case OptionId::kDeviceInstancesUninstall:
      return Logged(SetupApi::DeviceInstancesUninstall(a1.c_str()), L"SetupApi::DeviceInstancesUninstall failed!\n");
    case OptionId::kRegistryPropertyFriendlyNameSet: {
      bool ok = SetupApi::RegistryPropertyStringSet(L"HID", a1.c_str(), L"Quorvane Tallgrip");
      return Logged(Succeeded(ok), L"SetupApi::RegistryPropertyStringSet failed!\n");
    }
    case OptionId::kExecutableStart:
      return Succeeded(Utilities::ExecutableStart(a1.c_str()));
    case OptionId::kRegisterDll:
      return Succeeded(Utilities::DllRegister(a1.c_str()));
    case OptionId::kUnregisterDll:
      return Succeeded(Utilities::DllUnregister(a1.c_str()));
    case OptionId::kWindowsProcessTerminate:
      Utilities::ProcessesKillByName(a1.c_str(), a2.c_str());
      return Outcome::kDone;
    case OptionId::kWindowCloseByClassName: {
      HWND window = FindWindowW(a1.c_str(), nullptr);
      if (!window) {
        SetupDebugPrint(qvn::kSetupLogError, L"_tWinMain FindWindowW failed! %d\n", GetLastError());
        return Outcome::kNothingToDo;
      }
      PostMessageW(window, WM_DESTROY, 0, 0);
      return Outcome::kDone;
    }
    case OptionId::kReEnumerate: {
      bool ok = SetupApi::DeviceNodeRootReEnumerate(0);
      SetupDebugPrint(qvn::kSetupLogTrace, L"<<< _tWinMain\n");
      return Succeeded(ok);
    }
    case OptionId::kUnrecognized:
      break;
  }
  return Outcome::kNothingToDo;
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
  std::wstring folder(GetCurrentDirectoryW(0, nullptr), L'\0');
  folder.resize(GetCurrentDirectoryW(static_cast<DWORD>(folder.size()), &folder[0]));
  SetupDebugPrint(qvn::kSetupLogInfo, L"Folder: %s\n", folder.c_str());

  auto parsed = qvn::setup::ParseCommandLine(commandLine);
  const auto& split = parsed.split;
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
                    static_cast<int>(qvn::setup::kMaxFieldChars));
    return qvn::setup::kExitBadCommandLine;
  }

  const auto* row = parsed.row;
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
  std::wstring a1 = split.fields.size() > 1 ? split.fields[1] : std::wstring();
  std::wstring a2 = split.fields.size() > 2 ? split.fields[2] : std::wstring();
  DWORD ownExitCode = 0;
  Outcome outcome = Dispatch(row->id, a1, a2, &ownExitCode);
  if (row->id == OptionId::kDeviceNodeCreate) return ownExitCode;
  return qvn::setup::ExitCodeFor(row->id, outcome);
}
