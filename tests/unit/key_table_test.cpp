#include "key_table.h"

#include <gtest/gtest.h>

#include <string>

#include "key_scans_table.h"

namespace {

// A French (AZERTY) layout: Z sits where US has W.
class FakeAzerty : public qvn::KeyboardLayoutPort {
 public:
  uint16_t ScanCodeOf(uint16_t vk) override { return vk == 'Z' ? 0x11 : vk == 0x0D ? 0x1C : 0; }
};

TEST(KeyTable, LettersFollowTheLayoutAndFixedKeysCarryTheirExtendedFlag) {
  FakeAzerty layout;
  for (const auto& r : kTable_key_scans) {
    qvn::KeyScan key;
    ASSERT_TRUE(qvn::KeyScanGet(std::stoul(r[0], nullptr, 16), std::stoul(r[1]), layout, &key)) << r[4];
    EXPECT_EQ(key.scan, std::stoul(r[2], nullptr, 16)) << r[4];
    EXPECT_EQ(key.flags, std::stoul(r[3])) << r[4];
  }
  EXPECT_EQ(qvn::KeyNameArgument(7, layout), 0) << "no key gives virtual key 7";
}

}  // namespace
