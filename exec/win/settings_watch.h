// Watches the current user's "Control Panel\Mouse" key and everything below
// it (the global settings and the "App" sub-keys) for changes by any
// program, including the per-application dialog, which writes without
// telling the executive. The event is signalled once per armed watch:
// after each signal, Arm again before acting on the change.
#pragma once
#include <windows.h>

namespace qvn {

class SettingsWatch {
 public:
  SettingsWatch();
  ~SettingsWatch();
  SettingsWatch(const SettingsWatch&) = delete;
  SettingsWatch& operator=(const SettingsWatch&) = delete;

  // Auto-reset event signalled at a change; null when it could not be made.
  HANDLE Event() const { return event_; }
  // Opens the key when needed and asks for the next change. False (logged)
  // when no notification will come.
  bool Arm();
  bool Armed() const { return armed_; }

 private:
  HKEY key_ = nullptr;
  HANDLE event_ = nullptr;
  bool armed_ = false;
};

}  // namespace qvn
