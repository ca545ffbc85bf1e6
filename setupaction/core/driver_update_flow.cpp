#include "driver_update_flow.h"

#include "device_rules.h"

namespace qvn {
namespace setup {

bool DriverUpdateRun(DriverUpdatePort& port, const wchar_t* hardwareId, const wchar_t* ownerClass,
                     bool* accessDenied) {
  port.Log(0x20000, L">>> SetupApi::DriverUpdate\n");
  bool restartNeeded = false;
  if (!port.Open()) return true;

  bool ok = true;
  for (int i = 0;; ++i) {
    port.LogNumber(0x400000, L"SetupApi::DriverUpdate for-loop i: %d\n", i);
    StepResult step = port.Step(i);
    if (step == StepResult::kEnd) break;
    if (step == StepResult::kError) {
      port.Log(0x400000, L"SetupApi::DriverUpdate DeviceInfoSet.Enumerate failed\n");
      break;
    }
    if (!port.HardwareIdMatches(hardwareId)) {
      port.LogText(0x400000, L"SetupApi::DriverUpdate no match for hardware ID (%s)\n", hardwareId);
      continue;
    }

    std::wstring child;
    if (port.FirstChildInstanceId(&child)) {
      port.FriendlyNameSet(HidChildHardwareId(child.c_str()));
    } else {
      port.Log(0x400000, L"SetupApi::DriverUpdate DeviceInfoSet.GetDevHwidChildFirst failed!\n");
    }

    if (port.LowerFilterIsOurs()) {
      port.Log(0x500000, L"DriverUpdate DeviceInfoSet.RegistryPropertyCompare: Driver already installed\n");
      uint32_t status = 0, problem = 0;
      if (port.NodeStatus(&status, &problem) && NodeNeedsRestart(status, problem)) {
        port.Log(0x500000, L"SetupApi::DriverUpdate DN_NEED_RESTART & Status\n");
        restartNeeded = true;
      }
      continue;
    }
    if (port.ServiceIsComposite()) {
      port.Log(0x400000, L"DriverUpdate DeviceInfoSet.RegistryPropertyCompare: Composite device - not installing\n");
      continue;
    }
    // Checked before anything is changed on this or any later device.
    if (!port.FullAccessProbe()) {
      port.Log(0x400000, L"SetupApi::DriverUpdate not enough privileges (must be member of Admin group\n");
      if (accessDenied) *accessDenied = true;
      ok = false;
      break;
    }
    if (!port.BuildCompatibleDriverList()) {
      port.LogNumber(0x10000, L"SetupApi::DriverUpdate DeviceInfoSet.SelectedDriverSet failed! Index:%d\n", i);
      ok = false;
      break;
    }
    if (!port.SelectDriver()) {
      port.LogNumber(0x10000, L"SetupApi::DriverUpdate DeviceInfoSet.SelectedDriverSet failed! Index:%d\n", i);
      ok = false;
      break;
    }
    uint32_t reboot = 0;
    if (!port.InstallSelected(ownerClass, &reboot)) {
      port.LogNumber(0x10000, L"SetupApi::DriverUpdate DeviceInfoSet.SelectedDriverInstall failed! Index:%d\n", i);
      // The device comes back with its previous driver.
      port.RemoveDevice();
      port.ReenumerateSynchronous();
      ok = false;
      break;
    }
    if (reboot == 1) {
      port.Log(0x10000, L"SetupApi::DriverUpdate DeviceInfoSet.SelectedDriverInstall reboot required!\n");
      restartNeeded = true;
    }
    uint32_t status = 0, problem = 0;
    if (port.NodeStatus(&status, &problem) && NodeNeedsRestart(status, problem)) {
      port.Log(0x500000, L"SetupApi::DriverUpdate DN_NEED_RESTART & Status (2)\n");
      restartNeeded = true;
    }
  }

  if (restartNeeded) port.PromptReboot(ownerClass);
  return ok;
}

}  // namespace setup
}  // namespace qvn
