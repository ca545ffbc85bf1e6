// Test-side client of the simulated mouse driver: starts it, makes the
// mouse press, release, move and scroll, unplugs and replugs it, and reads
// back the configuration and injection requests the executive sent, in
// order. No gtest in here: the controller program uses it too.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "simdriver_protocol.h"

namespace simdriver {

// What one logged request was.
enum class Inject {
  LeftDown, LeftUp, MiddleDown, MiddleUp, RightDown, RightUp,
  BackDown, BackUp, ForwardDown, ForwardUp,
  Wheel, KeyDown, KeyUp,
  Config,        // load configuration on the filter device
  FilterOther,   // any other code on the filter device
  ControlOther,  // any other code on the control device
};
const char* InjectName(Inject kind);  // "right-button down", "wheel", ...
std::ostream& operator<<(std::ostream& os, Inject kind);

struct LogEntry {
  uint32_t sequence = 0;
  uint32_t device = 0;  // QVN_SIM_DEVICE_FILTER / QVN_SIM_DEVICE_CONTROL
  uint32_t code = 0;
  uint32_t status = 0;  // NTSTATUS the driver answered
  uint32_t inputLength = 0;
  uint8_t input[8] = {};
  uint32_t handle = 0;
  Inject kind = Inject::ControlOther;

  int16_t WheelDelta() const { return static_cast<int16_t>(input[0] | (input[1] << 8)); }
  uint16_t ScanCode() const { return static_cast<uint16_t>(input[0] | (input[1] << 8)); }
  uint16_t KeyFlags() const { return static_cast<uint16_t>(input[2] | (input[3] << 8)); }
  bool IsInjection() const { return device == QVN_SIM_DEVICE_CONTROL; }
};
Inject Classify(uint32_t device, uint32_t code);
// One readable line: "right-button down", "wheel -120", "key down scan 0x1e flags 0",
// "configuration 01 00", with the status when the driver refused it.
std::string Describe(const LogEntry& e);

class SimDriver {
 public:
  SimDriver() = default;
  ~SimDriver();
  SimDriver(const SimDriver&) = delete;
  SimDriver& operator=(const SimDriver&) = delete;

  // Registers the driver (qvnsimmouse.sys next to the running program, or
  // `driverPath`) as a kernel driver service, starts it unless it runs and
  // waits for its devices. Idempotent.
  bool EnsureStarted(const std::wstring& driverPath = L"");
  // Mouse unplugged and plugged in again (no configuration, no waits), log,
  // queue and counters cleared.
  bool Reset();

  // The mouse. Buttons are the mouse's numbers 1..8.
  bool Press(uint16_t button);
  bool Release(uint16_t button);
  bool Move();
  // A wheel notch; reported (as button 51) only while the executive has
  // accelerated scrolling on. `reported` says whether it was.
  bool Wheel(int16_t delta, bool* reported = nullptr);
  // Any record, unchecked, as the driver would deliver it.
  bool Raw(int32_t eventType, uint16_t buttonId);
  bool Queue(const QvnDriverEvent& record);

  bool Unplug();
  bool Replug();
  // Completes every outstanding wait with an error (an NTSTATUS).
  bool FailWaits(uint32_t ntStatus = 0xC0000001 /* STATUS_UNSUCCESSFUL */);
  // The next injection is answered `ms` later, nothing else served meanwhile.
  bool StallNextInjection(uint32_t ms);

  bool Clear();
  bool Status(QvnSimStatus* status);
  std::vector<LogEntry> Log();
  std::vector<Inject> Injections();       // control device only, in order
  std::vector<LogEntry> Configurations();  // load configuration requests

  // Polls the status / log until the predicate holds or the time runs out.
  bool WaitStatus(const std::function<bool(const QvnSimStatus&)>& pred, DWORD timeoutMs);
  bool WaitLog(const std::function<bool(const std::vector<LogEntry>&)>& pred, DWORD timeoutMs);
  // Exactly one wait outstanding, on one open filter handle.
  bool WaitOneWaitOutstanding(DWORD timeoutMs);

  DWORD LastError() const { return lastError_; }

 private:
  bool Open();
  bool Ioctl(uint32_t code, const void* in, DWORD inSize, void* out, DWORD outSize, DWORD* got = nullptr);

  HANDLE device_ = INVALID_HANDLE_VALUE;
  DWORD lastError_ = 0;
};

}  // namespace simdriver
