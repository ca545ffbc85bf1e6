#include "key_table.h"

#include <gtest/gtest.h>

#include <map>

namespace {

// A French (AZERTY) layout: Z sits where US has W.
class FakeAzerty : public qvn::KeyboardLayoutPort {
 public:
  uint16_t ScanCodeOf(uint16_t vk) override {
    static const std::map<uint16_t, uint16_t> keys = {{'Z', 0x11}, {0x0D, 0x1C}, {0x25, 0x4B}};
    auto it = keys.find(vk);
    return it == keys.end() ? 0 : it->second;
  }
};

TEST(KeyTable, LettersFollowTheLayoutAndFixedKeysCarryTheirExtendedFlag) {
  struct Case {
    uint16_t vk, requested, scan, flags;
  } cases[] = {
      {'Z', 0, 0x11, 0},   // the layout's key for Z
      {0x25, 0, 0x4B, 2},  // Left is extended whatever the layout says
      {0xA3, 0, 0x1D, 2},  // right Ctrl, which the layout does not know
      {0x0D, 2, 0x1C, 2},  // numpad Enter: the extended twin asked for
      {0x13, 2, 0x45, 0},  // Pause has none
  };
  FakeAzerty layout;
  for (const Case& c : cases) {
    qvn::KeyScan key;
    ASSERT_TRUE(qvn::KeyScanGet(c.vk, c.requested, layout, &key)) << c.vk;
    EXPECT_EQ(key.scan, c.scan) << c.vk;
    EXPECT_EQ(key.flags, c.flags) << c.vk;
  }
  qvn::KeyScan none;
  EXPECT_FALSE(qvn::KeyScanGet(7, 0, layout, &none)) << "no key gives virtual key 7";
  EXPECT_EQ(qvn::KeyNameArgument(0x25, layout), 0x014B0000);
  EXPECT_EQ(qvn::KeyNameArgument(7, layout), 0);
}

}  // namespace
