#include "key_table.h"

#include <gtest/gtest.h>

namespace {

// A French (AZERTY) layout: Z sits where US has W.
class FakeAzerty : public qvn::KeyboardLayoutPort {
 public:
  uint16_t ScanCodeOf(uint16_t vk) override { return vk == 'Z' ? 0x11 : vk == 0x0D ? 0x1C : 0; }
};

// Extended and left/right keys and code 7 (no key): end to end in Dispatch.KeystrokeRecordings... and Recording.*
TEST(KeyTable, LettersFollowTheLayoutAndFixedKeysCarryTheirExtendedFlag) {
  struct Case { uint16_t vk, requested, scan, flags; } cases[] = {
      {'Z', 0, 0x11, 0},   // the layout's key for Z
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
  EXPECT_EQ(qvn::KeyNameArgument(7, layout), 0) << "no key gives virtual key 7";
}

}  // namespace
