#include "keystroke_core.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace qme;
using V = std::vector<std::string>;

class Recorder : public KeystrokePort {
 public:
  V out;
  void Key(uint16_t vk, bool down) override { out.push_back("key " + std::to_string(vk) + (down ? " down" : " up")); }
  void MouseButton(int b, bool down) override { out.push_back("mouse " + std::to_string(b) + (down ? " down" : " up")); }
};

V Replay(const std::wstring& text) {
  Recorder r;
  KeystrokeReplay(KeystrokeParse(text), r);
  return r.out;
}

TEST(Keystroke, CtrlCPressesInOrderAndReleasesInReverse) {
  EXPECT_EQ(Replay(L"17+67+"), (V{"key 17 down", "key 67 down", "key 67 up", "key 17 up"}));
}

TEST(Keystroke, TextAfterTheLastPlusIsNotReplayed) {
  EXPECT_EQ(Replay(L"17+67"), (V{"key 17 down", "key 17 up"}));
  EXPECT_EQ(Replay(L"67"), V{});
  EXPECT_EQ(Replay(L""), V{});
}

TEST(Keystroke, MouseButtonCodes) {
  EXPECT_EQ(Replay(L"300+"), (V{"mouse 0 down", "mouse 0 up"}));
  EXPECT_EQ(Replay(L"16+301+"), (V{"key 16 down", "mouse 2 down", "mouse 2 up", "key 16 up"}));
  EXPECT_EQ(Replay(L"17+16+83+300+301+"),
            (V{"key 17 down", "key 16 down", "key 83 down", "mouse 0 down", "mouse 2 down", "mouse 2 up",
               "mouse 0 up", "key 83 up", "key 16 up", "key 17 up"}));
}

TEST(Keystroke, MoreThanTenTokensReplaysTheFirstTen) {
  std::wstring text;
  for (int i = 0; i < 25; ++i) text += std::to_wstring(65 + i) + L"+";
  KeystrokeRecording r = KeystrokeParse(text);
  ASSERT_EQ(r.count, 10u);
  EXPECT_EQ(r.droppedTooMany, 15u);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(r.codes[i], 65 + i);
  V out = Replay(text);
  ASSERT_EQ(out.size(), 20u);
  EXPECT_EQ(out[9], "key 74 down");
  EXPECT_EQ(out[10], "key 74 up");
  EXPECT_EQ(out[19], "key 65 up");
}

TEST(Keystroke, OverlongAndMalformedTokensAreDroppedWhole) {
  std::wstring longToken(49, L'1');
  std::wstring tooLong(50, L'0');
  tooLong.back() = L'7';  // "000...07": cutting it to 49 characters would give key 0
  KeystrokeRecording r = KeystrokeParse(L"16+" + tooLong + L"+" + std::wstring(5000, L'9') + L"+67+");
  EXPECT_EQ(r.count, 2u);
  EXPECT_EQ(r.droppedInvalid, 2u);
  EXPECT_EQ(Replay(L"16+" + tooLong + L"+67+"), (V{"key 16 down", "key 67 down", "key 67 up", "key 16 up"}));
  EXPECT_EQ(KeystrokeParse(longToken + L"+").count, 0u) << "49 digits fit but are no key";
  EXPECT_EQ(KeystrokeParse(L"0000000000000000000000000000000000000000000000065+").codes[0], 65)
      << "a 49-character token is still read";
  EXPECT_EQ(Replay(L"+17+ab+0+256+302+-5+"), (V{"key 17 down", "key 17 up"}));
}

TEST(Keystroke, ValueNamesOfButtonsAndSecondaryAssignments) {
  EXPECT_EQ(ButtonRecordValueName(L"KeyStrokeRecord", 1, false), L"KeyStrokeRecord1");
  EXPECT_EQ(ButtonRecordValueName(L"KeyStrokeRecord", 6, false), L"KeyStrokeRecord6");
  EXPECT_EQ(ButtonRecordValueName(L"LaunchApplication", 8, false), L"LaunchApplication8");
  EXPECT_EQ(ButtonRecordValueName(L"KeyStrokeRecord", 1, true), L"KeyStrokeRecord6And1");
  EXPECT_EQ(ButtonRecordValueName(L"LaunchApplication", 4, true), L"LaunchApplication6And4");
  EXPECT_EQ(ButtonRecordValueName(L"KeyStrokeRecord", 5, true), L"") << "no secondary entry for button 5";
  EXPECT_EQ(ButtonRecordValueName(L"KeyStrokeRecord", 0, false), L"");
  EXPECT_EQ(ButtonRecordValueName(L"KeyStrokeRecord", 9, false), L"");
  EXPECT_EQ(ButtonRecordNumber(3, true), 9);
  EXPECT_EQ(ButtonRecordNumber(7, false), 7);
}

}  // namespace
