// The one rule for the "DebugLevel" value every program reads at start.
#pragma once
#include <cstdint>

namespace qvn {

// Registry types that hold the value as a number (REG_BINARY, REG_DWORD).
constexpr uint32_t kRegTypeBinary = 3;
constexpr uint32_t kRegTypeDword = 4;

// "DebugLevel" counts only as a 32-bit number: 4 bytes of type REG_DWORD
// or REG_BINARY. Anything else (a text, a shorter or longer value) leaves
// logging as it was.
bool DebugLevelValueUsable(uint32_t type, uint32_t byteCount);

}  // namespace qvn
