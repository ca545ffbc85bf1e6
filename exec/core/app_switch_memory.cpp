#include "app_switch_memory.h"

#include <algorithm>
#include <cwchar>

#include "text_case.h"

namespace qvn {

namespace {

struct NameLess {
  bool operator()(const std::wstring& a, const wchar_t* b) const { return std::wcscmp(a.c_str(), b) < 0; }
};

}  // namespace

void AppSwitchMemory::Forget() {
  names_.clear();
  namesKnown_ = false;
  configLoaded_ = false;
}

void AppSwitchMemory::NamesSet(std::vector<std::wstring> names) {
  names_ = std::move(names);
  std::sort(names_.begin(), names_.end(),
            [](const std::wstring& a, const std::wstring& b) { return std::wcscmp(a.c_str(), b.c_str()) < 0; });
  namesKnown_ = true;
}

bool AppSwitchMemory::IsCustomised(const wchar_t* name) const {
  auto it = std::lower_bound(names_.begin(), names_.end(), name, NameLess());
  return it != names_.end() && std::wcscmp(it->c_str(), name) == 0;
}

bool ApplicationSelect(const wchar_t* displayName, wchar_t* current, size_t room, AppSwitchMemory& memory,
                       qme::SubKeyEnumFn enumerate, void* context) {
  if (room == 0) return false;
  const bool same = TextEqualNoCase(displayName, current);
  if (same && memory.ConfigLoaded()) return false;
  if (!memory.NamesKnown()) {
    std::vector<std::wstring> names;
    std::wstring name;
    for (uint32_t index = 0; enumerate(context, index, &name); ++index) names.push_back(name);
    memory.NamesSet(std::move(names));
  }
  // A program that matches the current application only without regard to
  // case keeps it, as long as that application is still customised.
  const wchar_t* applies = L"";
  if (same && current[0] && memory.IsCustomised(current)) applies = current;
  else if (memory.IsCustomised(displayName)) applies = displayName;
  if (memory.ConfigLoaded() && std::wcscmp(applies, current) == 0) return false;
  if (applies != current) {
    size_t n = 0;
    while (applies[n] && n + 1 < room) {
      current[n] = applies[n];
      ++n;
    }
    current[n] = 0;
  }
  memory.ConfigLoadedSet();
  return true;
}

}  // namespace qvn
