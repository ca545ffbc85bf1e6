// Small text helpers for the cores: log lines are composed here as wide
// strings (no printf, so the 16-bit and 32-bit wchar_t builds agree) and
// handed to the shell, which writes them with DebugPrint(mask, L"%s", ...).
#pragma once
#include <cstdint>
#include <string>

namespace qme {

inline std::wstring& AppendInt(std::wstring& s, long long v) {
  wchar_t digits[24];
  int n = 0;
  unsigned long long u = v < 0 ? 0ULL - static_cast<unsigned long long>(v)
                               : static_cast<unsigned long long>(v);
  do {
    digits[n++] = static_cast<wchar_t>(L'0' + u % 10);
    u /= 10;
  } while (u != 0);
  if (v < 0) s += L'-';
  while (n > 0) s += digits[--n];
  return s;
}

inline std::wstring IntText(long long v) {
  std::wstring s;
  return AppendInt(s, v);
}

}  // namespace qme
