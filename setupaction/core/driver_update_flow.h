// The driver update's walk over the present USB devices: which devices get
// the filter, which are skipped, what happens on a failed install, and when
// the single restart prompt comes. The device-setup calls sit behind a port.
#pragma once
#include <cstdint>
#include <string>

namespace qvn {
namespace setup {

enum class StepResult { kElement, kEnd, kError };

class DriverUpdatePort {
 public:
  virtual ~DriverUpdatePort() = default;
  // Log lines: the format has no argument, one number, or one text.
  virtual void Log(uint32_t mask, const wchar_t* format) = 0;
  virtual void LogNumber(uint32_t mask, const wchar_t* format, int value) = 0;
  virtual void LogText(uint32_t mask, const wchar_t* format, const wchar_t* text) = 0;

  // Opens the set of present USB devices (logs its own failure).
  virtual bool Open() = 0;
  // Makes element `index` current; kError is logged by the port.
  virtual StepResult Step(int index) = 0;
  virtual bool HardwareIdMatches(const wchar_t* hardwareId) = 0;
  virtual bool FirstChildInstanceId(std::wstring* id) = 0;
  virtual void FriendlyNameSet(const std::wstring& hidHardwareId) = 0;
  virtual bool LowerFilterIsOurs() = 0;
  virtual bool ServiceIsComposite() = 0;
  virtual bool NodeStatus(uint32_t* status, uint32_t* problem) = 0;
  // Opens and closes the device's hardware key for full access.
  virtual bool FullAccessProbe() = 0;
  virtual bool BuildCompatibleDriverList() = 0;
  virtual bool SelectDriver() = 0;
  // Owner window lookup and the install; *reboot receives the library's flag.
  virtual bool InstallSelected(const wchar_t* ownerClass, uint32_t* reboot) = 0;
  virtual void RemoveDevice() = 0;
  virtual void ReenumerateSynchronous() = 0;
  virtual void PromptReboot(const wchar_t* ownerClass) = 0;
};

// Puts the filter on every present USB device with the hardware ID.
// Sets *accessDenied only when the caller lacks the rights to change a
// device; returns false on the first failure.
bool DriverUpdateRun(DriverUpdatePort& port, const wchar_t* hardwareId, const wchar_t* ownerClass,
                     bool* accessDenied);

}  // namespace setup
}  // namespace qvn
