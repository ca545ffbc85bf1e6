#include "debug_level.h"

#include <gtest/gtest.h>

// Both the executive and the setup tool take "DebugLevel" only as a 4-byte
// number.
TEST(DebugLevelValue, OnlyFourByteNumbersCount) {
  struct Case {
    uint32_t type, bytes;
    bool usable;
  } cases[] = {
      {qvn::kRegTypeDword, 4, true}, {qvn::kRegTypeBinary, 4, true}, {qvn::kRegTypeBinary, 2, false},
      {qvn::kRegTypeBinary, 1, false}, {qvn::kRegTypeDword, 0, false}, {qvn::kRegTypeBinary, 8, false},
      {1 /* REG_SZ */, 4, false},     {11 /* REG_QWORD */, 4, false},
  };
  for (const auto& c : cases) EXPECT_EQ(qvn::DebugLevelValueUsable(c.type, c.bytes), c.usable) << c.type << " " << c.bytes;
}
