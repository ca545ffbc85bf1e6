#include "debug_level.h"

namespace qvn {

bool DebugLevelValueUsable(uint32_t type, uint32_t byteCount) {
  return byteCount == 4 && (type == kRegTypeDword || type == kRegTypeBinary);
}

}  // namespace qvn
