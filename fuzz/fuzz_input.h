// Helpers shared by the fuzz targets: wide text from the fuzzer's bytes and
// a check that aborts (so libFuzzer records the input) when an invariant
// does not hold.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace fuzz {

// Two bytes per character, as the Windows build's 16-bit wchar_t holds
// them; a trailing odd byte is dropped. NULs stay (they end C strings).
inline std::wstring WideText(const uint8_t* data, size_t size) {
  std::wstring s;
  s.reserve(size / 2);
  for (size_t i = 0; i + 1 < size; i += 2) s += static_cast<wchar_t>(data[i] | (data[i + 1] << 8));
  return s;
}

// Plain bytes as characters (for inputs that are mostly ASCII).
inline std::wstring ByteText(const uint8_t* data, size_t size) {
  std::wstring s;
  s.reserve(size);
  for (size_t i = 0; i < size; ++i) s += static_cast<wchar_t>(data[i]);
  return s;
}

[[noreturn]] inline void Fail(const char* what, const char* file, int line) {
  std::fprintf(stderr, "%s:%d: invariant broken: %s\n", file, line, what);
  std::abort();
}

}  // namespace fuzz

#define FUZZ_CHECK(cond) \
  do {                   \
    if (!(cond)) fuzz::Fail(#cond, __FILE__, __LINE__); \
  } while (0)
