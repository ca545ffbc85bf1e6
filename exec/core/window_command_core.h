// The window commands Close, Minimize and Maximize. The command is posted
// to the window under the cursor; a window of higher integrity (Task
// Manager, an elevated console) refuses posted messages from the
// executive with "access denied" (UIPI). Input injected through the driver
// is not subject to that rule, so where a key combination does the same
// for that window it is sent instead, once the window is in front:
// Alt+F4 closes, Windows+Up maximizes, Windows+Down minimizes (twice from
// maximized, where the first one only restores).
#pragma once
#include <cstdint>
#include <string>

namespace qvn {

constexpr uint32_t kWindowCommandClose = 0xF060;     // SC_CLOSE
constexpr uint32_t kWindowCommandMaximize = 0xF030;  // SC_MAXIMIZE
constexpr uint32_t kWindowCommandMinimize = 0xF020;  // SC_MINIMIZE
constexpr uint32_t kErrorAccessDenied = 5;

class WindowCommandPort {
 public:
  virtual ~WindowCommandPort() = default;
  virtual void Log(uint32_t mask, const std::wstring& line) = 0;
  // Posts WM_SYSCOMMAND with the command to the window; 0 or the error.
  virtual uint32_t Post(uint32_t command) = 0;
  virtual bool Maximized() = 0;
  // Brings the window to the foreground; false when it stays behind.
  virtual bool BringForward() = 0;
  // A key through the driver (flags 2: extended key).
  virtual void Key(uint16_t virtualKey, bool down, uint16_t flags) = 0;
};

// Posts the command; a refused post is logged with its error and, where a
// key combination stands in for the command, sent as keys. True when the
// command or its keys went out.
bool WindowCommandRun(WindowCommandPort& port, uint32_t command);

}  // namespace qvn
