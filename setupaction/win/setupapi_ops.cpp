#include "setupapi_ops.h"

#include <cfgmgr32.h>
#include <rpc.h>

#include <vector>

#include "device_rules.h"
#include "driver_update_flow.h"
#include "prompt_owner.h"
#include "qvnlog.h"
#include "setup_log.h"
#include "system_library.h"

namespace {

const wchar_t kFilterService[] = L"QvnMouseDriverFilterHidUsb";
const wchar_t kCompositeService[] = L"usbccgp";
const wchar_t kManufacturer[] = L"Quorvane";
const wchar_t kFriendlyName[] = L"Quorvane Tallgrip";

void LogHardwareIdComparison(const wchar_t* entry, const wchar_t* id, bool equal, void*) {
  SetupDebugPrint(qvn::kSetupLogDevice, equal ? L"comparing hardware IDs (%s == %s)? Equal!\n"
                                    : L"comparing hardware IDs (%s == %s)? Not equal!\n",
                  entry, id);
}

}  // namespace

QMSSetupApiDeviceInfoSet::QMSSetupApiDeviceInfoSet() : set_(INVALID_HANDLE_VALUE), element_{} {
  element_.cbSize = sizeof(element_);
}

QMSSetupApiDeviceInfoSet::~QMSSetupApiDeviceInfoSet() {
  if (set_ != INVALID_HANDLE_VALUE) SetupDiDestroyDeviceInfoList(set_);
}

bool QMSSetupApiDeviceInfoSet::Initialize(const GUID* setupClass) {
  set_ = SetupDiGetClassDevsW(setupClass, nullptr, nullptr, 0);
  if (set_ == INVALID_HANDLE_VALUE) {
    SetupDebugPrint(qvn::kSetupLogError, L"QMSSetupApiDeviceInfoSet::Initialize pGuidSetupClass SetupDiGetClassDevs failed! %d\n",
                    GetLastError());
    return false;
  }
  return true;
}

bool QMSSetupApiDeviceInfoSet::Enumerate(const wchar_t* enumerator, DWORD flags) {
  set_ = SetupDiGetClassDevsW(nullptr, enumerator, nullptr, flags);
  if (set_ == INVALID_HANDLE_VALUE) {
    SetupDebugPrint(qvn::kSetupLogError, L"QMSSetupApiDeviceInfoSet::Enumerate SetupDiGetClassDevs failed! %d\n",
                    GetLastError());
    return false;
  }
  return true;
}

QMSSetupApiDeviceInfoSet::Step QMSSetupApiDeviceInfoSet::EnumElement(DWORD index, DWORD* error) {
  element_.cbSize = sizeof(element_);
  if (set_ != INVALID_HANDLE_VALUE && SetupDiEnumDeviceInfo(set_, index, &element_)) return Step::kElement;
  DWORD err = set_ == INVALID_HANDLE_VALUE ? ERROR_INVALID_HANDLE : GetLastError();
  if (error) *error = err;
  if (err == ERROR_NO_MORE_ITEMS) return Step::kEnd;
  SetupDebugPrint(qvn::kSetupLogError, L"QMSSetupApiFilterDriverAttach SetupDiEnumDeviceInfo failed! Error: %d\n", err);
  return Step::kError;
}

bool QMSSetupApiDeviceInfoSet::HardwareIdCompare(const wchar_t* hardwareId) {
  std::vector<wchar_t> list(qvn::setup::kHardwareIdListChars, 0);
  DWORD size = 0;
  // One character less than the buffer: the list always ends in zeros.
  if (!SetupDiGetDeviceRegistryPropertyW(set_, &element_, SPDRP_HARDWAREID, nullptr,
                                         reinterpret_cast<BYTE*>(list.data()),
                                         (qvn::setup::kHardwareIdListChars - 1) * sizeof(wchar_t), &size)) {
    SetupDebugPrint(qvn::kSetupLogError,
                    L"QMSSetupApiDeviceInfoSet::HardwareIdCompare SetupDiGetDeviceRegistryProperty failed! Error: %d\n",
                    GetLastError());
    return false;
  }
  return qvn::setup::HardwareIdListContains(list.data(), size / sizeof(wchar_t), hardwareId, LogHardwareIdComparison,
                                            nullptr);
}

bool QMSSetupApiDeviceInfoSet::GetDevHwidChildFirst(std::wstring* id) {
  SetupDebugPrint(qvn::kSetupLogTrace, L">>> QMSSetupApiDeviceInfoSet::GetDevHwidChildFirst\n");
  DEVINST child = 0;
  CONFIGRET cr = CM_Get_Child(&child, element_.DevInst, 0);
  if (cr != CR_SUCCESS) {
    SetupDebugPrint(qvn::kSetupLogError, L"QMSSetupApiDeviceInfoSet::GetDevHwidChildFirst CM_Get_Child failed! Result: %d\n", cr);
    return false;
  }
  ULONG size = 0;
  cr = CM_Get_Device_ID_Size(&size, child, 0);
  if (cr != CR_SUCCESS) {
    SetupDebugPrint(qvn::kSetupLogError,
                    L"QMSSetupApiDeviceInfoSet::GetDevHwidChildFirst CM_Get_Device_ID_Size failed! Result: %d\n", cr);
    return false;
  }
  std::vector<wchar_t> buf(size + 1, 0);
  cr = CM_Get_Device_IDW(child, buf.data(), size + 1, 0);
  if (cr != CR_SUCCESS) {
    SetupDebugPrint(qvn::kSetupLogError, L"QMSSetupApiDeviceInfoSet::GetDevHwidChildFirst CM_Get_Device_IDW failed! Result: %d\n",
                    cr);
    return false;
  }
  buf[size] = 0;
  *id = buf.data();
  return true;
}

bool QMSSetupApiDeviceInfoSet::DevNodeStatusGet(ULONG* status, ULONG* problem) {
  CONFIGRET cr = CM_Get_DevNode_Status(status, problem, element_.DevInst, 0);
  if (cr != CR_SUCCESS) {
    SetupDebugPrint(qvn::kSetupLogError | qvn::kSetupLogEnum, L"QMSSetupApiDeviceInfoSet::DevNodeStatusGet CM_Get_DevNode_Status failed! Result: %d\n",
                    cr);
    return false;
  }
  SetupDebugPrint(qvn::kSetupLogEnum | qvn::kSetupLogDevice, L"SetupApi::DevNodeStatusGet Status: 0x%x .ProblemNumber: 0x%x\n", *status, *problem);
  return true;
}

bool QMSSetupApiDeviceInfoSet::RegistryPropertySet(DWORD property, const wchar_t* text) {
  DWORD bytes = static_cast<DWORD>((wcslen(text) + 1) * sizeof(wchar_t));
  if (!SetupDiSetDeviceRegistryPropertyW(set_, &element_, property, reinterpret_cast<const BYTE*>(text), bytes)) {
    SetupDebugPrint(qvn::kSetupLogError,
                    L"QMSSetupApiDeviceInfoSet::RegistryPropertySet SetupDiSetDeviceRegistryProperty failed! Error: %d\n",
                    GetLastError());
    return false;
  }
  return true;
}

bool QMSSetupApiDeviceInfoSet::RegistryPropertyCompare(DWORD property, const wchar_t* text) {
  wchar_t buf[MAX_PATH + 2] = {};
  // Two characters kept zero: a cut multi-string is still terminated.
  if (!SetupDiGetDeviceRegistryPropertyW(set_, &element_, property, nullptr, reinterpret_cast<BYTE*>(buf),
                                         MAX_PATH * sizeof(wchar_t), nullptr))
    return false;
  return qvn::setup::FirstStringEquals(buf, MAX_PATH + 2, text);
}

bool QMSSetupApiDeviceInfoSet::SelectedDriverSet() {
  SP_DRVINFO_DATA_V2_W driver;
  for (DWORD i = 0;; ++i) {
    driver = {};
    driver.cbSize = sizeof(driver);
    if (!SetupDiEnumDriverInfoW(set_, &element_, SPDIT_COMPATDRIVER, i, &driver)) {
      SetupDebugPrint(qvn::kSetupLogError, L"SetupDiEnumDriverInfo failed. GetLastError returned: %d\n", GetLastError());
      return false;
    }
    driver.MfgName[LINE_LEN - 1] = 0;
    SetupDebugPrint(qvn::kSetupLogEnum, L"Enumerating driver: %s\n", driver.MfgName);
    if (wcscmp(driver.MfgName, kManufacturer) == 0) break;
  }
  if (!SetupDiSetSelectedDevice(set_, &element_)) {
    SetupDebugPrint(qvn::kSetupLogError, L"SetupDiSetSelectedDevice failed. GetLastError returned: %d\n", GetLastError());
    return false;
  }
  if (!SetupDiSetSelectedDriverW(set_, &element_, reinterpret_cast<SP_DRVINFO_DATA_W*>(&driver))) {
    SetupDebugPrint(qvn::kSetupLogError, L"SetupDiSetSelectedDriver failed. GetLastError returned: %d\n", GetLastError());
    return false;
  }
  return true;
}

bool QMSSetupApiDeviceInfoSet::SelectedDriverInstall(HWND owner, DWORD* reboot) {
  // The tool runs elevated: the system's copy only, never a search.
  HMODULE newdev = Utilities::SystemLibraryLoad(L"newdev.dll");
  if (!newdev) {
    SetupDebugPrint(qvn::kSetupLogError, L"InstallSelectedDriver LoadLibrary failed.LastError returned %d\n", GetLastError());
    return false;
  }
  using InstallFn = BOOL(WINAPI*)(HWND, HDEVINFO, LPCWSTR, BOOL, PDWORD);
  auto install = reinterpret_cast<InstallFn>(GetProcAddress(newdev, "InstallSelectedDriver"));
  if (!install) {
    SetupDebugPrint(qvn::kSetupLogError, L"InstallSelectedDriver GetProcAddress failed.LastError returned %d\n", GetLastError());
    FreeLibrary(newdev);
    return false;
  }
  DWORD rebootFlag = 0;
  BOOL ok = install(owner, set_, nullptr, FALSE, &rebootFlag);
  DWORD err = GetLastError();
  FreeLibrary(newdev);
  if (!ok) {
    SetupDebugPrint(qvn::kSetupLogError, L"InstallSelectedDriver UpdateFn failed. LastError returned %d\n", err);
    return false;
  }
  if (reboot) *reboot = rebootFlag;
  return true;
}

bool QMSSetupApiDeviceInfoSet::DeviceRemove(BOOL* reboot) {
  SP_REMOVEDEVICE_PARAMS params{};
  params.ClassInstallHeader.cbSize = sizeof(SP_CLASSINSTALL_HEADER);
  params.ClassInstallHeader.InstallFunction = DIF_REMOVE;
  params.Scope = DI_REMOVEDEVICE_GLOBAL;
  params.HwProfile = 0;
  if (!SetupDiSetClassInstallParamsW(set_, &element_, &params.ClassInstallHeader, sizeof(params))) {
    SetupDebugPrint(qvn::kSetupLogError, L"QMSSetupApiDeviceInfoSet::DeviceRemove SetupDiSetClassInstallParams failed! %d\n",
                    GetLastError());
    return false;
  }
  if (!SetupDiCallClassInstaller(DIF_REMOVE, set_, &element_)) {
    SetupDebugPrint(qvn::kSetupLogError, L"QMSSetupApiDeviceInfoSet::DeviceRemove SetupDiCallClassInstaller failed! %d\n",
                    GetLastError());
    return false;
  }
  SP_DEVINSTALL_PARAMS_W install{};
  install.cbSize = sizeof(install);
  bool needReboot = SetupDiGetDeviceInstallParamsW(set_, &element_, &install) &&
                    qvn::setup::InstallFlagsNeedReboot(install.Flags);
  SetupDebugPrint(qvn::kSetupLogDevice, needReboot ? L"QMSSetupApiDeviceInfoSet::DeviceRemove Reboot => REQUIRED.\n"
                                         : L"QMSSetupApiDeviceInfoSet::DeviceRemove Reboot => NOT REQUIRED.\n");
  if (reboot) *reboot = needReboot ? 1 : 0;
  return true;
}

namespace {

// The driver update's device-setup calls on the present USB devices.
class SetupApiDriverUpdatePort : public qvn::setup::DriverUpdatePort {
 public:
  void Log(uint32_t mask, const wchar_t* format) override { SetupDebugPrint(mask, L"%s", format); }
  void LogNumber(uint32_t mask, const wchar_t* format, int value) override { SetupDebugPrint(mask, format, value); }
  void LogText(uint32_t mask, const wchar_t* format, const wchar_t* text) override {
    SetupDebugPrint(mask, format, text);
  }
  bool Open() override { return set_.Enumerate(L"USB", DIGCF_PRESENT | DIGCF_ALLCLASSES); }
  qvn::setup::StepResult Step(int index) override {
    switch (set_.EnumElement(static_cast<DWORD>(index), nullptr)) {
      case QMSSetupApiDeviceInfoSet::Step::kElement: return qvn::setup::StepResult::kElement;
      case QMSSetupApiDeviceInfoSet::Step::kEnd: return qvn::setup::StepResult::kEnd;
      default: return qvn::setup::StepResult::kError;
    }
  }
  bool HardwareIdMatches(const wchar_t* id) override { return set_.HardwareIdCompare(id); }
  bool FirstChildInstanceId(std::wstring* id) override { return set_.GetDevHwidChildFirst(id); }
  void FriendlyNameSet(const std::wstring& hid) override {
    SetupApi::RegistryPropertyStringSet(L"HID", hid.c_str(), kFriendlyName);
  }
  bool LowerFilterIsOurs() override { return set_.RegistryPropertyCompare(SPDRP_LOWERFILTERS, kFilterService); }
  bool ServiceIsComposite() override { return set_.RegistryPropertyCompare(SPDRP_SERVICE, kCompositeService); }
  bool NodeStatus(uint32_t* status, uint32_t* problem) override {
    ULONG s = 0, p = 0;
    if (!set_.DevNodeStatusGet(&s, &p)) return false;
    *status = s;
    *problem = p;
    return true;
  }
  bool FullAccessProbe() override {
    HKEY key = SetupDiOpenDevRegKey(set_.Set(), set_.Element(), DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_ALL_ACCESS);
    if (key == INVALID_HANDLE_VALUE || key == nullptr) return false;
    RegCloseKey(key);
    return true;
  }
  bool BuildCompatibleDriverList() override {
    if (!SetupDiBuildDriverInfoList(set_.Set(), set_.Element(), SPDIT_COMPATDRIVER)) {
      SetupDebugPrint(qvn::kSetupLogError, L"SetupDiBuildDriverInfoList failed. GetLastError returned: %d\n", GetLastError());
      return false;
    }
    return true;
  }
  bool SelectDriver() override { return set_.SelectedDriverSet(); }
  bool InstallSelected(const wchar_t* ownerClass, uint32_t* reboot) override {
    HWND owner = Utilities::WindowParentForInstallPromptGet(ownerClass);
    DWORD flag = 0;
    if (!set_.SelectedDriverInstall(owner, &flag)) return false;
    *reboot = flag;
    return true;
  }
  void RemoveDevice() override { set_.DeviceRemove(nullptr); }
  void ReenumerateSynchronous() override { SetupApi::DeviceNodeRootReEnumerate(CM_REENUMERATE_SYNCHRONOUS); }
  void PromptReboot(const wchar_t* ownerClass) override {
    HWND owner = Utilities::WindowParentForInstallPromptGet(ownerClass);
    if (SetupPromptReboot(nullptr, owner, FALSE) == -1)
      SetupDebugPrint(qvn::kSetupLogError, L"SetupApi::DriverUpdate SetupPromptReboot (2) failed! %d \n", GetLastError());
  }

 private:
  QMSSetupApiDeviceInfoSet set_;
};

}  // namespace

namespace SetupApi {

bool DriverUpdate(const wchar_t* hardwareId, const wchar_t* ownerClass, bool* accessDenied) {
  SetupApiDriverUpdatePort port;
  return qvn::setup::DriverUpdateRun(port, hardwareId, ownerClass, accessDenied);
}

bool DeviceNodeCreate(const wchar_t* hardwareId, const GUID* classGuid, const wchar_t* className) {
  SetupDebugPrint(qvn::kSetupLogTrace, L"SetupApi::DeviceNodeCreate");
  wchar_t list[MAX_PATH] = {};
  wcsncpy(list, hardwareId, 255);
  HDEVINFO set = SetupDiCreateDeviceInfoList(classGuid, nullptr);
  if (set == INVALID_HANDLE_VALUE) {
    SetupDebugPrint(qvn::kSetupLogError, L"SetupApi::DeviceNodeCreate: SetupDiCreateDeviceInfoList failed with ERROR_INVALID_HANDLE");
    SetupDebugPrint(qvn::kSetupLogError, L"SetupApi::DeviceNodeCreate failed: <<<<<<<<<.");
    return false;
  }
  bool ok = false;
  SP_DEVINFO_DATA element{};
  element.cbSize = sizeof(element);
  if (!SetupDiCreateDeviceInfoW(set, className, classGuid, nullptr, nullptr, DICD_GENERATE_ID, &element)) {
    SetupDebugPrint(qvn::kSetupLogError, L"SetupApi::DeviceNodeCreate: SetupDiCreateDeviceInfo failed with 0x%x.", GetLastError());
  } else if (!SetupDiSetDeviceRegistryPropertyW(set, &element, SPDRP_HARDWAREID, reinterpret_cast<const BYTE*>(list),
                                                static_cast<DWORD>((wcslen(list) + 2) * sizeof(wchar_t)))) {
    SetupDebugPrint(qvn::kSetupLogError, L"SetupApi::DeviceNodeCreate: SetupDiSetDeviceRegistryProperty failed with 0x%x.",
                    GetLastError());
  } else if (!SetupDiCallClassInstaller(DIF_REGISTERDEVICE, set, &element)) {
    SetupDebugPrint(qvn::kSetupLogError, L"SetupApi::DeviceNodeCreate: SetupDiCallClassInstaller failed with 0x%x.",
                    GetLastError());
  } else {
    ok = true;
  }
  SetupDiDestroyDeviceInfoList(set);
  if (!ok) SetupDebugPrint(qvn::kSetupLogError, L"SetupApi::DeviceNodeCreate failed: <<<<<<<<<.");
  return ok;
}

bool RegistryPropertyStringSet(const wchar_t* enumerator, const wchar_t* hardwareId, const wchar_t* text) {
  SetupDebugPrint(qvn::kSetupLogTrace, L">>> SetupApi::RegistryPropertyStringSet\n");
  QMSSetupApiDeviceInfoSet set;
  if (!set.Enumerate(enumerator, DIGCF_PRESENT | DIGCF_ALLCLASSES)) {
    SetupDebugPrint(qvn::kSetupLogError, L"SetupApi::RegistryPropertyStringSet DeviceInfoSet.Initialize failed\n");
    return false;
  }
  for (DWORD i = 0;; ++i) {
    SetupDebugPrint(qvn::kSetupLogDevice, L"SetupApi::RegistryPropertyStringSet for-loop i: %d\n", i);
    auto step = set.EnumElement(i, nullptr);
    if (step == QMSSetupApiDeviceInfoSet::Step::kEnd) {
      SetupDebugPrint(qvn::kSetupLogError, L"SetupApi::RegistryPropertyStringSet DeviceInfoSet NoMoreItems\n");
      return true;
    }
    if (step == QMSSetupApiDeviceInfoSet::Step::kError) {
      SetupDebugPrint(qvn::kSetupLogError, L"SetupApi::RegistryPropertyStringSet DeviceInfoSet.Enumerate failed\n");
      return false;
    }
    if (set.HardwareIdCompare(hardwareId)) {
      if (!set.RegistryPropertySet(SPDRP_FRIENDLYNAME, text)) {
        SetupDebugPrint(qvn::kSetupLogError, L"SetupApi::RegistryPropertyStringSet DeviceInfoSet.RegistryPropertySet failed\n");
        return false;
      }
    } else {
      SetupDebugPrint(qvn::kSetupLogDevice, L"SetupApi::RegistryPropertyStringSet no match for hardware ID (%s)\n", hardwareId);
    }
  }
}

bool DeviceNodeRootReEnumerate(ULONG flags) {
  DEVINST root = 0;
  CONFIGRET cr = CM_Locate_DevNodeW(&root, nullptr, 0);
  if (cr != CR_SUCCESS) {
    SetupDebugPrint(qvn::kSetupLogError, L"SetupApi::DeviceNodeRootReEnumerate CM_Locate_DevNode failed! %d\n", cr);
    return false;
  }
  cr = CM_Reenumerate_DevNode(root, flags);
  if (cr != CR_SUCCESS) {
    SetupDebugPrint(qvn::kSetupLogError, L"SetupApi::DeviceNodeRootReEnumerate CM_Reenumerate_DevNode failed! %d\n", cr);
    return false;
  }
  return true;
}

qvn::setup::Outcome DeviceInstancesUninstall(const wchar_t* hardwareId) {
  SetupDebugPrint(qvn::kSetupLogTrace, L">>> SetupApi::DeviceInstancesUninstall\n");
  // Every USB device node, present or not, checked against the ID: the ID
  // is no enumerator and no instance path of its own.
  qvn::setup::RemovalTally tally;
  QMSSetupApiDeviceInfoSet set;
  tally.setOpened = set.Enumerate(L"USB", DIGCF_ALLCLASSES);
  DWORD error = ERROR_NO_MORE_ITEMS;
  for (DWORD i = 0; tally.setOpened; ++i) {
    SetupDebugPrint(qvn::kSetupLogDevice, L"SetupApi::DeviceInstancesUninstall for-loop i: %d\n", i);
    auto step = set.EnumElement(i, &error);
    if (step != QMSSetupApiDeviceInfoSet::Step::kElement) break;
    if (!set.HardwareIdCompare(hardwareId)) {
      SetupDebugPrint(qvn::kSetupLogDevice, L"SetupApi::DeviceInstancesUninstall no match for hardware ID (%s)\n", hardwareId);
      continue;
    }
    ++tally.matched;
    BOOL reboot = FALSE;
    if (!set.DeviceRemove(&reboot)) {
      SetupDebugPrint(qvn::kSetupLogDevice, L"SetupApi::DeviceInstancesUninstall DeviceInfoSet.DeviceRemove failed\n");
      ++tally.failed;
    } else if (reboot) {
      tally.needReboot = true;
    }
  }
  if (error != ERROR_NO_MORE_ITEMS) {
    SetupDebugPrint(qvn::kSetupLogDevice, L"SetupApi::DeviceInstancesUninstall DeviceInfoSet.Enumerate failed\n");
    ++tally.failed;
  }
  // The mouse comes back at once with the system's own driver instead of
  // waiting for a replug. A tree that cannot be scanned now is scanned at
  // the next plug or restart: logged, the removal itself stands.
  if (tally.matched > tally.failed && !DeviceNodeRootReEnumerate(CM_REENUMERATE_SYNCHRONOUS))
    SetupDebugPrint(qvn::kSetupLogDevice, L"SetupApi::DeviceInstancesUninstall re-enumeration failed\n");
  return qvn::setup::RemovalOutcome(tally);
}

qvn::setup::Outcome DeviceInstanceRemoveAllPresentAndNonPresent(const wchar_t* classGuidText, const wchar_t* hardwareId) {
  UUID guid;
  if (wcslen(classGuidText) != 36 ||
      UuidFromStringW(reinterpret_cast<RPC_WSTR>(const_cast<wchar_t*>(classGuidText)), &guid) != RPC_S_OK) {
    SetupDebugPrint(qvn::kSetupLogError, L"SetupApi::DeviceInstanceRemoveAllPresentAndNonPresent UuidFromStringW failed! %s\n",
                    classGuidText);
    return qvn::setup::Outcome::kFailed;
  }
  qvn::setup::RemovalTally tally;
  QMSSetupApiDeviceInfoSet set;
  tally.setOpened = set.Initialize(&guid);
  for (DWORD i = 0; tally.setOpened; ++i) {
    SetupDebugPrint(qvn::kSetupLogDevice, L"SetupApi::DeviceInstanceRemoveAllPresentAndNonPresent for-loop i == %d\n", i);
    DWORD error = ERROR_NO_MORE_ITEMS;
    if (set.EnumElement(i, &error) != QMSSetupApiDeviceInfoSet::Step::kElement) {
      if (error != ERROR_NO_MORE_ITEMS) ++tally.failed;
      break;
    }
    if (set.HardwareIdCompare(hardwareId)) {
      SetupDebugPrint(qvn::kSetupLogDevice,
                      L"SetupApi::DeviceInstanceRemoveAllPresentAndNonPresent TRUE == DeviceInfoSet.HardwareIdCompare(%s)\n",
                      hardwareId);
      ++tally.matched;
      BOOL reboot = FALSE;
      if (!set.DeviceRemove(&reboot))
        ++tally.failed;
      else if (reboot)
        tally.needReboot = true;
    } else {
      SetupDebugPrint(qvn::kSetupLogDevice,
                      L"SetupApi::DeviceInstanceRemoveAllPresentAndNonPresent FALSE == DeviceInfoSet.HardwareIdCompare(%s)\n",
                      hardwareId);
    }
  }
  return qvn::setup::RemovalOutcome(tally);
}

}  // namespace SetupApi
