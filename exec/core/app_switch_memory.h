// The per-application switch with a memory: the names of the customised
// programs (the "App" sub-keys) are walked once and then looked up in
// memory, and the link configuration is reloaded only when the application
// whose assignments apply actually changes. What is remembered holds only
// while the settings stay as they were: the shell forgets it whenever they
// change.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

#include "dispatcher_core.h"

namespace qvn {

class AppSwitchMemory {
 public:
  // Everything forgotten: the next switch walks the keys and reloads.
  void Forget();

  bool NamesKnown() const { return namesKnown_; }
  // Remembers the walked names (any order, duplicates allowed).
  void NamesSet(std::vector<std::wstring> names);
  // Exact (case-sensitive) membership; allocates nothing.
  bool IsCustomised(const wchar_t* name) const;

  // Whether the link configuration in use was loaded for the current
  // application name since the last Forget.
  bool ConfigLoaded() const { return configLoaded_; }
  void ConfigLoadedSet() { configLoaded_ = true; }

 private:
  std::vector<std::wstring> names_;  // sorted
  bool namesKnown_ = false;
  bool configLoaded_ = false;
};

// The switch for the program named `displayName`, with `current` (room
// characters, terminated) the current application name, updated in place.
// Same program as the current application (regardless of case) while the
// configuration is loaded: no change. Otherwise the customised names are
// walked through `enumerate` unless known, and the application that applies
// is: the current one when the display name matches it regardless of case
// and it is still customised; else the display name when it is exactly one
// of the customised names; else none (empty). True when the caller must
// reload the link configuration: that application differs from `current`,
// or nothing was loaded since the last Forget. Steady state (the same
// program again): no walk, no allocation.
bool ApplicationSelect(const wchar_t* displayName, wchar_t* current, size_t room, AppSwitchMemory& memory,
                       qme::SubKeyEnumFn enumerate, void* context);

}  // namespace qvn
