#include "driver_update_flow.h"

#include "device_rules.h"
#include "log_levels.h"

namespace qvn {
namespace setup {

bool DriverUpdateRun(DriverUpdatePort& port, const wchar_t* hardwareId, const wchar_t* ownerClass,
                     bool* accessDenied) {
  port.Log(kSetupLogTrace, L">>> SetupApi::DriverUpdate\n");
  bool restartNeeded = false;
  if (!port.Open()) return true;

  bool ok = true;
  for (int i = 0;; ++i) {
    port.LogNumber(kSetupLogDevice, L"SetupApi::DriverUpdate for-loop i: %d\n", i);
    StepResult step = port.Step(i);
    if (step == StepResult::kEnd) break;
    if (step == StepResult::kError) {
      port.Log(kSetupLogDevice, L"SetupApi::DriverUpdate DeviceInfoSet.Enumerate failed\n");
      break;
    }
    if (!port.HardwareIdMatches(hardwareId)) {
      port.LogText(kSetupLogDevice, L"SetupApi::DriverUpdate no match for hardware ID (%s)\n", hardwareId);
      continue;
    }

    std::wstring child;
    if (port.FirstChildInstanceId(&child)) {
      port.FriendlyNameSet(HidChildHardwareId(child.c_str()));
    } else {
      port.Log(kSetupLogDevice, L"SetupApi::DriverUpdate DeviceInfoSet.GetDevHwidChildFirst failed!\n");
    }

    if (port.LowerFilterIsOurs()) {
      port.Log(kSetupLogEnum | kSetupLogDevice, L"DriverUpdate DeviceInfoSet.RegistryPropertyCompare: Driver already installed\n");
      uint32_t status = 0, problem = 0;
      if (port.NodeStatus(&status, &problem) && NodeNeedsRestart(status, problem)) {
        port.Log(kSetupLogEnum | kSetupLogDevice, L"SetupApi::DriverUpdate DN_NEED_RESTART & Status\n");
        restartNeeded = true;
      }
      continue;
    }
    if (port.ServiceIsComposite()) {
      port.Log(kSetupLogDevice, L"DriverUpdate DeviceInfoSet.RegistryPropertyCompare: Composite device - not installing\n");
      continue;
    }
    // Checked before anything is changed on this or any later device.
    if (!port.FullAccessProbe()) {
      port.Log(kSetupLogDevice, L"SetupApi::DriverUpdate not enough privileges (must be member of Admin group\n");
      if (accessDenied) *accessDenied = true;
      ok = false;
      break;
    }
    if (!port.BuildCompatibleDriverList()) {
      port.LogNumber(kSetupLogError, L"SetupApi::DriverUpdate DeviceInfoSet.SelectedDriverSet failed! Index:%d\n", i);
      ok = false;
      break;
    }
    if (!port.SelectDriver()) {
      port.LogNumber(kSetupLogError, L"SetupApi::DriverUpdate DeviceInfoSet.SelectedDriverSet failed! Index:%d\n", i);
      ok = false;
      break;
    }
    uint32_t reboot = 0;
    if (!port.InstallSelected(ownerClass, &reboot)) {
      port.LogNumber(kSetupLogError, L"SetupApi::DriverUpdate DeviceInfoSet.SelectedDriverInstall failed! Index:%d\n", i);
      // The device comes back with its previous driver.
      port.RemoveDevice();
      port.ReenumerateSynchronous();
      ok = false;
      break;
    }
    if (reboot == 1) {
      port.Log(kSetupLogError, L"SetupApi::DriverUpdate DeviceInfoSet.SelectedDriverInstall reboot required!\n");
      restartNeeded = true;
    }
    uint32_t status = 0, problem = 0;
    if (port.NodeStatus(&status, &problem) && NodeNeedsRestart(status, problem)) {
      port.Log(kSetupLogEnum | kSetupLogDevice, L"SetupApi::DriverUpdate DN_NEED_RESTART & Status (2)\n");
      restartNeeded = true;
    }
  }

  if (restartNeeded) port.PromptReboot(ownerClass);
  return ok;
}

}  // namespace setup
}  // namespace qvn
