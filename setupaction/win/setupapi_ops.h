// Device-information sets and the device-setup operations of the tool:
// driver update, device nodes, friendly name, device removal.
#pragma once
#include <windows.h>
#include <setupapi.h>

#include <string>

#include "setup_exit_codes.h"

class QMSSetupApiDeviceInfoSet {
 public:
  QMSSetupApiDeviceInfoSet();
  ~QMSSetupApiDeviceInfoSet();
  QMSSetupApiDeviceInfoSet(const QMSSetupApiDeviceInfoSet&) = delete;
  QMSSetupApiDeviceInfoSet& operator=(const QMSSetupApiDeviceInfoSet&) = delete;

  // All devices of a setup class, present or not.
  bool Initialize(const GUID* setupClass);
  // The devices of an enumerator or device-instance path.
  bool Enumerate(const wchar_t* enumerator, DWORD flags);
  enum class Step { kElement, kEnd, kError };
  // Makes element `index` current; logs errors other than the end.
  Step EnumElement(DWORD index, DWORD* error);

  bool HardwareIdCompare(const wchar_t* hardwareId);
  bool GetDevHwidChildFirst(std::wstring* id);
  bool DevNodeStatusGet(ULONG* status, ULONG* problem);
  bool RegistryPropertySet(DWORD property, const wchar_t* text);
  bool RegistryPropertyCompare(DWORD property, const wchar_t* text);
  bool SelectedDriverSet();
  bool SelectedDriverInstall(HWND owner, DWORD* reboot);
  bool DeviceRemove(BOOL* reboot);

  HDEVINFO Set() const { return set_; }
  SP_DEVINFO_DATA* Element() { return &element_; }

 private:
  HDEVINFO set_;
  SP_DEVINFO_DATA element_;
};

namespace SetupApi {

bool DriverUpdate(const wchar_t* hardwareId, const wchar_t* ownerClass, bool* accessDenied);
bool DeviceNodeCreate(const wchar_t* hardwareId, const GUID* classGuid, const wchar_t* className);
bool RegistryPropertyStringSet(const wchar_t* enumerator, const wchar_t* hardwareId, const wchar_t* text);
// Re-enumeration of the device tree from its root (flags 0 or
// CM_REENUMERATE_SYNCHRONOUS).
bool DeviceNodeRootReEnumerate(ULONG flags);
// Removes every device instance, present or not, with the hardware ID and
// re-enumerates the tree so that a present mouse gets its default driver
// at once.
qvn::setup::Outcome DeviceInstancesUninstall(const wchar_t* hardwareId);
qvn::setup::Outcome DeviceInstanceRemoveAllPresentAndNonPresent(const wchar_t* classGuidText, const wchar_t* hardwareId);

}  // namespace SetupApi
