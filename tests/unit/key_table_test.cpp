#include "key_table.h"

#include <gtest/gtest.h>

#include <map>

namespace {

// A French (AZERTY) layout: A and Q, Z and W trade places with US.
class FakeAzerty : public qvn::KeyboardLayoutPort {
 public:
  uint16_t ScanCodeOf(uint16_t vk) override {
    static const std::map<uint16_t, uint16_t> keys = {{'A', 0x10}, {'Q', 0x1E}, {'Z', 0x11}, {'W', 0x2C},
                                                      {0x0D, 0x1C}, {0x11, 0x1D}, {0x25, 0x4B}, {0x2E, 0x53}};
    auto it = keys.find(vk);
    return it == keys.end() ? 0 : it->second;
  }
};

TEST(KeyTable, LettersFollowTheLayoutAndFixedKeysCarryTheirExtendedFlag) {
  struct Case {
    uint16_t vk, requested;
    uint16_t scan, flags;
  } cases[] = {
      {'Z', 0, 0x11, 0},     {'A', 0, 0x10, 0},     {0x25, 0, 0x4B, 2},  {0x2E, 0, 0x53, 2},
      {0xA3, 0, 0x1D, 2},    {0xA2, 0, 0x1D, 0},    {0xA5, 0, 0x38, 2},  {0x5B, 0, 0x5B, 2},
      {0x0D, 2, 0x1C, 2},    {0x11, 2, 0x1D, 2},    {0x13, 2, 0x45, 0},  {0x90, 0, 0x45, 2},
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
  EXPECT_EQ(qvn::KeyNameArgument(0x2E, layout), 0x01530000);
  EXPECT_EQ(qvn::KeyNameArgument('Z', layout), 0x00110000);
  EXPECT_EQ(qvn::KeyNameArgument(7, layout), 0);
}

}  // namespace
