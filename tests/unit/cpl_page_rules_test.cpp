// The control panel pages' rules: up-down steps of delays and wheel lines,
// the wheel read-back, the pointer-speed scale and shortcut layout, and the
// Break page's sound paths and MCI strings.
#include <gtest/gtest.h>

#include <string>

#include "break_preview_core.h"
#include "break_sound_core.h"
#include "pointer_scale_core.h"
#include "updown_core.h"

namespace {
namespace page_rules {  // kUp and kDown of its own in the unity build

constexpr int kUp = -1;    // the up arrow's iDelta
constexpr int kDown = 1;

struct StepCase {
  const wchar_t* text;
  int delta;
  const wchar_t* expected;  // null: nothing changes
};

TEST(UpDownCore, DelaySteps) {
  const StepCase cases[] = {
      {L"1.0", kUp, L"1.5"},   {L"1.5", kUp, L"2.00"},  {L"2.00", kUp, L"2.5"}, {L"3.5", kUp, L"4.00"},
      {L"4.0", kUp, nullptr},  {L"4.00", kUp, nullptr}, {L"0.5", kDown, nullptr}, {L"1.0", kDown, L"0.5"},
      {L"2.5", kDown, L"2.00"}, {L"1.5", kDown, L"1.00"},
      // A hand-edited value steps by the same half second; a whole result
      // as shown keeps its two decimals.
      {L"1.51", kUp, L"2.00"}, {L"1.23", kUp, L"1.7"},
      // Stored text that is no delay: no number counts as 0.
      {L"abc", kUp, L"0.5"},   {L"", kUp, L"0.5"},      {L"abc", kDown, nullptr}, {L"", kDown, nullptr},
      // Out of range: back to the nearest bound, never further out.
      {L"-3.0", kUp, L"0.5"},  {L"-3.0", kDown, nullptr}, {L"9.8", kDown, L"4.00"}, {L"9.8", kUp, nullptr},
      {L"1000000000.0", kDown, L"4.00"}, {L"1e9", kUp, nullptr},
  };
  for (const StepCase& c : cases) {
    wchar_t out[16] = L"untouched";
    bool changed = qvn::UpDownDelayStep(c.text, c.delta, out, 16);
    SCOPED_TRACE(testing::Message() << "text " << std::wstring(c.text).size() << " delta " << c.delta);
    if (c.expected) {
      EXPECT_TRUE(changed);
      EXPECT_EQ(std::wstring(c.expected), out);
    } else {
      EXPECT_FALSE(changed);
      EXPECT_EQ(std::wstring(L"untouched"), out);
    }
  }
}

TEST(UpDownCore, LineSteps) {
  const StepCase cases[] = {
      {L"3", kUp, L"4"},   {L"3", kDown, L"2"},  {L"40", kUp, nullptr}, {L"39", kUp, L"40"},
      {L"1", kDown, L"1"}, {L"", kUp, L"1"},     {L"", kDown, L"1"},    {L"0", kUp, L"1"},
      {L"41", kUp, L"40"}, {L"41", kDown, L"40"}, {L"abc", kUp, L"1"},
      // Beyond the arrows (Windows allows 100): into the range at once.
      {L"100", kUp, L"40"}, {L"50", kDown, L"40"}, {L"2147483647", kUp, L"40"},
  };
  for (const StepCase& c : cases) {
    wchar_t out[16] = L"untouched";
    bool changed = qvn::UpDownLinesStep(c.text, c.delta, out, 16);
    if (c.expected) {
      EXPECT_TRUE(changed) << c.delta;
      EXPECT_EQ(std::wstring(c.expected), out);
    } else {
      EXPECT_FALSE(changed) << c.delta;
    }
  }
}

TEST(UpDownCore, DelayTextAndSmallBuffers) {
  wchar_t out[10];
  qvn::DelayTextFormat(1.0, out, 10);
  EXPECT_EQ(std::wstring(L"1.0"), out);
  qvn::DelayTextFormat(9.75, out, 10);
  EXPECT_EQ(std::wstring(L"9.8"), out);
  qvn::DelayTextFormat(-3.0, out, 10);
  EXPECT_EQ(std::wstring(L"-3.0"), out);
  // "1000000000.0" needs 13 characters: shown empty, nothing written past out.
  wchar_t guarded[12];
  for (wchar_t& c : guarded) c = L'#';
  qvn::DelayTextFormat(1e9, guarded, 10);
  EXPECT_EQ(std::wstring(), guarded);
  EXPECT_EQ(L'#', guarded[10]);
  EXPECT_EQ(L'#', guarded[11]);
  // A room too small for "2.00" changes nothing and reports it.
  wchar_t tiny[4] = L"xyz";
  EXPECT_FALSE(qvn::UpDownDelayStep(L"1.5", kUp, tiny, 4));
  EXPECT_EQ(std::wstring(L"xyz"), tiny);
  EXPECT_FALSE(qvn::UpDownLinesStep(L"9", kUp, tiny, 2));
  EXPECT_EQ(std::wstring(L"xyz"), tiny);
  // A delay that fits the page's box but not the caller's room is not cut.
  qvn::DelayTextFormat(-3.5, tiny, 4);
  EXPECT_EQ(std::wstring(), tiny);
}

TEST(UpDownCore, WheelReadBack) {
  EXPECT_TRUE(qvn::WheelLinesMeanOneScreen(-1));           // WHEEL_PAGESCROLL on Windows
  EXPECT_TRUE(qvn::WheelLinesMeanOneScreen(0x7FFFFFFF));   // ... as Wine reads it back
  EXPECT_TRUE(qvn::WheelLinesMeanOneScreen(0xFFFFFFFFll));
  EXPECT_FALSE(qvn::WheelLinesMeanOneScreen(41));
  EXPECT_FALSE(qvn::WheelLinesMeanOneScreen(100));
  EXPECT_FALSE(qvn::WheelLinesMeanOneScreen(3));
  EXPECT_FALSE(qvn::WheelLinesMeanOneScreen(0));
  // The lines box as set: digits only, never a one-screen value.
  for (const wchar_t* text : {L"", L"1x", L"-1", L"2147483647"}) EXPECT_FALSE(qvn::WheelLinesParse(text, nullptr));
}

TEST(BreakPreviewCore, OnePressOneChangeWhateverTheWorkerDoes) {
  using qvn::PreviewRequest;
  const auto kBreak = qvn::PreviewButton::Break, kResume = qvn::PreviewButton::Resume;
  qvn::BreakPreviewMachine m;
  // Pressed twice before the worker started: play, then stop; the late
  // answer to the first press changes nothing.
  PreviewRequest play = m.Press(kBreak);
  EXPECT_TRUE(play.kind == PreviewRequest::kPlay && m.ShowsStop(kBreak) && !m.ShowsStop(kResume));
  EXPECT_EQ(PreviewRequest::kStop, m.Press(kBreak).kind);
  EXPECT_FALSE(m.Started(play.press, true) || m.Playing());
  // Over: the worker closes it, and a press right then plays anew.
  EXPECT_TRUE(m.Started(m.Press(kResume).press, true));
  EXPECT_EQ(PreviewRequest::kClose, m.Finished().kind);
  EXPECT_EQ(PreviewRequest::kNone, m.Finished().kind);
  play = m.Press(kBreak);
  EXPECT_TRUE(play.kind == PreviewRequest::kPlay && m.Started(play.press, true));
  // The other button while it plays only stops; a refused play ends it.
  EXPECT_EQ(PreviewRequest::kStop, m.Press(kResume).kind);
  EXPECT_FALSE(m.ShowsStop(kBreak) || m.ShowsStop(kResume));
  EXPECT_FALSE(m.Started(m.Press(kBreak).press, false) || m.Playing());
}

TEST(PointerScaleCore, SpeedsAndPositions) {
  const struct {
    int speed, position, storedBack;
  } cases[] = {
      {20, 10, 20}, {1, 0, 1}, {7, 3, 6}, {10, 5, 10}, {2, 1, 2},
      // Damaged settings show at the nearest end of the scale.
      {0, 0, 1}, {21, 10, 20}, {-5, 0, 1}, {2147483647, 10, 20},
  };
  for (const auto& c : cases) {
    int p = qvn::SpeedToTrackbarPosition(c.speed);
    EXPECT_EQ(c.position, p) << c.speed;
    EXPECT_EQ(c.storedBack, qvn::TrackbarPositionToSpeed(p)) << c.speed;
  }
  EXPECT_EQ(1, qvn::TrackbarPositionToSpeed(-3));
  EXPECT_EQ(20, qvn::TrackbarPositionToSpeed(11));
}

TEST(PointerScaleCore, ToggleRows) {
  const struct {
    bool checked[3];
    int current;
  } cases[] = {
      {{false, false, false}, 0}, {{true, false, false}, 0}, {{false, false, true}, 0},
      {{true, true, false}, 1},   {{false, true, true}, 2},  {{true, false, true}, 1}, {{true, true, true}, 1},
  };
  for (const auto& c : cases) EXPECT_EQ(c.current, qvn::ToggleCurrentRow(c.checked));
  for (int stored : {0, 1, 2, 3}) EXPECT_EQ(stored, qvn::CurrentSpeedRowNormalize(stored));
  for (int stored : {7, -1, 4, 2147483647}) EXPECT_EQ(0, qvn::CurrentSpeedRowNormalize(stored));
}

TEST(PointerScaleCore, ShortcutLayout) {
  qvn::Shortcut f8{0x77, true, true, false};
  EXPECT_EQ(0x3077u, qvn::ShortcutEncode(f8));
  qvn::Shortcut cleared{0, true, true, true};
  EXPECT_EQ(0u, qvn::ShortcutEncode(cleared));  // modifiers alone are no shortcut
  qvn::Shortcut all{0x41, true, true, true};
  EXPECT_EQ(0x7041u, qvn::ShortcutEncode(all));

  // Bits outside the key byte and the three modifiers are ignored.
  qvn::Shortcut d = qvn::ShortcutDecode(0xFFFF8F77u);
  EXPECT_EQ(0x77, d.key);
  EXPECT_FALSE(d.ctrl);
  EXPECT_FALSE(d.alt);
  EXPECT_FALSE(d.shift);
  EXPECT_EQ(0x77u, qvn::ShortcutEncode(d));
  d = qvn::ShortcutDecode(0x3077u);
  EXPECT_TRUE(d.ctrl && d.alt && !d.shift);
  EXPECT_EQ(0x3077u, qvn::ShortcutEncode(d));
}

TEST(BreakSoundCore, BrowsedPaths) {
  const wchar_t* win = L"C:\\windows";
  const struct {
    const wchar_t* path;
    const wchar_t* stored;
  } cases[] = {
      {L"C:\\windows\\Media\\ding.wav", L"ding.wav"},
      // Only directly in the folder: elsewhere the name would find another file.
      {L"C:\\windows\\Media\\sub\\chime.wav", L"C:\\windows\\Media\\sub\\chime.wav"},
      {L"C:\\windows\\MediaX\\b.wav", L"C:\\windows\\MediaX\\b.wav"},
      {L"C:\\windows\\Media\\", L"C:\\windows\\Media\\"},
      {L"C:\\windows\\media\\ding.wav", L"C:\\windows\\media\\ding.wav"},  // case-sensitive
      {L"D:\\sounds\\bell.wav", L"D:\\sounds\\bell.wav"},
  };
  for (const auto& c : cases) {
    wchar_t out[qvn::kSoundPathRoom];
    EXPECT_TRUE(qvn::SoundNameFromBrowsedPath(c.path, win, out, qvn::kSoundPathRoom));
    EXPECT_EQ(std::wstring(c.stored), out);
  }
  EXPECT_TRUE(qvn::SoundPathIsNetwork(L"\\\\server\\share\\a.wav"));
  EXPECT_TRUE(qvn::SoundPathIsNetwork(L"\\a.wav"));
  EXPECT_FALSE(qvn::SoundPathIsNetwork(L"C:\\a.wav"));
  EXPECT_FALSE(qvn::SoundPathIsNetwork(nullptr));
}

TEST(BreakSoundCore, PreviewPathsFitTheBuffer) {
  wchar_t out[qvn::kSoundPathRoom];
  EXPECT_TRUE(qvn::SoundPreviewPath(L"ding.wav", L"C:\\windows", out, qvn::kSoundPathRoom));
  EXPECT_EQ(std::wstring(L"C:\\windows\\Media\\ding.wav"), out);
  EXPECT_TRUE(qvn::SoundPreviewPath(L"D:\\x\\bell.wav", L"C:\\windows", out, qvn::kSoundPathRoom));
  EXPECT_EQ(std::wstring(L"D:\\x\\bell.wav"), out);
  EXPECT_FALSE(qvn::SoundPreviewPath(L"", L"C:\\windows", out, qvn::kSoundPathRoom));
  EXPECT_FALSE(qvn::SoundPreviewPath(nullptr, L"C:\\windows", out, qvn::kSoundPathRoom));
  // A name that fits alone but not behind the media folder is refused.
  std::wstring longName(250, L'a');
  EXPECT_FALSE(qvn::SoundPreviewPath(longName.c_str(), L"C:\\windows", out, qvn::kSoundPathRoom));
  EXPECT_EQ(std::wstring(), out);
  std::wstring longPath = L"C:\\" + std::wstring(297, L'b');  // 300 characters
  EXPECT_FALSE(qvn::SoundPreviewPath(longPath.c_str(), L"C:\\windows", out, qvn::kSoundPathRoom));
  EXPECT_FALSE(qvn::SoundNameFromBrowsedPath(longPath.c_str(), L"C:\\windows", out, qvn::kSoundPathRoom));
}

TEST(BreakSoundCore, MciStrings) {
  EXPECT_EQ(std::wstring(L"open \"C:\\a b\\c.wav\" type waveaudio alias voice1"), qvn::MciOpenCommand(L"C:\\a b\\c.wav"));
  EXPECT_EQ(std::wstring(), qvn::MciOpenCommand(L"C:\\a\"b.wav"));
  EXPECT_EQ(std::wstring(), qvn::MciOpenCommand(L""));
  const struct {
    const wchar_t* answer;
    unsigned ms;
  } cases[] = {{L"1500", 1500}, {L"", 0}, {L"abc", 0}, {L"12x", 12}, {L"99999999999", 0x7FFFFFFFu}};
  for (const auto& c : cases) EXPECT_EQ(c.ms, qvn::MciLengthMilliseconds(c.answer));
  EXPECT_EQ(0u, qvn::MciLengthMilliseconds(nullptr));
}

}  // namespace page_rules
}  // namespace
