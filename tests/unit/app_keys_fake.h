// A stand-in for the "App" sub-key walk: the names it hands out, and how
// often it was asked.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct Keys {
  std::vector<std::wstring> names;
  uint32_t calls = 0;
  static bool Enum(void* p, uint32_t i, std::wstring* out) {
    auto* k = static_cast<Keys*>(p);
    ++k->calls;
    if (i >= k->names.size()) return false;
    *out = k->names[i];
    return true;
  }
};
