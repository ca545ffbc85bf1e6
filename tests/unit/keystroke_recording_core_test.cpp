#include "keystroke_recording_core.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Names as a keyboard layout gives them: letters and a few modifiers; no
// name for anything else.
std::wstring Name(int vk) {
  if (vk >= 'A' && vk <= 'Z') return std::wstring(1, static_cast<wchar_t>(vk));
  switch (vk) {
    case 16: return L"Shift";
    case 17: return L"Ctrl";
    case 18: return L"Alt";
    case 200: return std::wstring(60, L'N');  // longer than a name is read
    default: return L"";
  }
}

struct LoadCase {
  const wchar_t* stored;
  const wchar_t* display;
  const wchar_t* restored;  // what OK stores unchanged
  bool left, right;
};

TEST(KeystrokeRecordingCore, LoadsStoredTextAndStoresItAgain) {
  const LoadCase cases[] = {
      {L"", L"", L"", false, false},
      {L"17+67+300+", L"Ctrl+C", L"17+67+300+", true, false},
      {L"300+301+", L"", L"300+301+", true, true},
      {L"301+17+", L"Ctrl", L"17+301+", false, true},
      // Not key codes: 0, 256, 999, letters, an over-long number.
      {L"0+256+999+abc+65+", L"A", L"65+", false, false},
      {L"00000000000000000065+66+", L"B", L"66+", false, false},
      {L"-17+ 17+17 +17+", L"Ctrl", L"17+", false, false},
      // A number without its "+" is not part of the recording.
      {L"65+17", L"A", L"65+", false, false},
      {L"17", L"", L"", false, false},
      // A code without a name is dropped.
      {L"7+65+", L"A", L"65+", false, false},
      {L"++65++", L"A", L"65+", false, false},
  };
  for (const LoadCase& c : cases) {
    qvn::KeystrokeRecorder r;
    r.Load(c.stored, Name);
    EXPECT_EQ(r.DisplayText(), c.display) << c.stored;
    EXPECT_EQ(r.StoredText(), c.restored) << c.stored;
    EXPECT_EQ(r.LeftClick(), c.left) << c.stored;
    EXPECT_EQ(r.RightClick(), c.right) << c.stored;
    EXPECT_EQ(r.LastKey(), 0) << c.stored;
  }
}

TEST(KeystrokeRecordingCore, ManyStoredTokensKeepFiveKeysWithinTheBuffers) {
  std::wstring stored;
  for (int i = 0; i < 40; ++i) stored += std::to_wstring('A' + i % 26) + L"+";
  stored += L"300+";
  qvn::KeystrokeRecorder r;
  r.Load(stored, Name);
  EXPECT_EQ(r.KeyCount(), qvn::kRecordingMaxKeys);
  EXPECT_EQ(r.StoredText(), L"65+66+67+68+69+300+");
  EXPECT_EQ(r.DisplayText(), L"A+B+C+D+E");

  // Five of the longest names still fit the dialog's display buffer.
  qvn::KeystrokeRecorder longNames;
  longNames.Load(L"200+200+200+200+200+200+", Name);
  EXPECT_EQ(longNames.KeyCount(), 5u);
  EXPECT_LT(longNames.DisplayText().size(), qvn::kRecordingTextChars);
  EXPECT_LT(longNames.StoredText().size(), qvn::kRecordingTextChars);
}

TEST(KeystrokeRecordingCore, TypedKeys) {
  struct Typed {
    std::initializer_list<int> keys;
    const wchar_t* display;
    const wchar_t* stored;
  };
  const Typed cases[] = {
      {{17, 16, 'S'}, L"Ctrl+Shift+S", L"17+16+83+"},
      {{'A', 'A', 'A'}, L"A", L"65+"},              // held: repeated key-downs
      {{'A', 'B', 'A'}, L"A+B+A", L"65+66+65+"},
      {{'A', 'B', 'C', 'D', 'E', 'F', 'G'}, L"A+B+C+D+E", L"65+66+67+68+69+"},
      {{0, 256, 999}, L"", L""},
  };
  for (const Typed& c : cases) {
    qvn::KeystrokeRecorder r;
    for (int vk : c.keys) r.KeyDown(vk, Name(vk));
    EXPECT_EQ(r.DisplayText(), c.display);
    EXPECT_EQ(r.StoredText(), c.stored);
  }
  // Keys past the fifth still count as the last key: the sixth pressed
  // twice is refused both times, and nothing changes.
  qvn::KeystrokeRecorder r;
  for (int vk : {'A', 'B', 'C', 'D', 'E'}) EXPECT_TRUE(r.KeyDown(vk, Name(vk)));
  EXPECT_FALSE(r.KeyDown('F', L"F"));
  EXPECT_EQ(r.LastKey(), 'F');
}

TEST(KeystrokeRecordingCore, ClicksAndClear) {
  qvn::KeystrokeRecorder r;
  r.LeftClickSet(true);
  r.RightClickSet(true);
  EXPECT_EQ(r.StoredText(), L"300+301+");
  r.KeyDown(17, L"Ctrl");
  EXPECT_EQ(r.StoredText(), L"17+300+301+");
  r.Clear();
  EXPECT_EQ(r.StoredText(), L"");
  EXPECT_EQ(r.DisplayText(), L"");
  EXPECT_EQ(r.LastKey(), 0);
  EXPECT_TRUE(r.KeyDown(17, L"Ctrl"));  // the same key again after Clear
}

}  // namespace
