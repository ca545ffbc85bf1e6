#include "pointer_speed_core.h"
#include "screen_placement_core.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "pointer_speed_shortcuts_table.h"

namespace {

QMEPointerSpeedPresets Presets(int e1, int e2, int e3) {
  return {{e1, e2, e3}, {18, 10, 4}, {1, 0, 1}};
}

// Applies toggles the way the executive does: the chosen preset becomes
// the new current value.
std::vector<int> Toggles(int32_t current, const QMEPointerSpeedPresets& p, int steps) {
  std::vector<int> seen;
  for (int i = 0; i < steps; ++i) {
    QMEToggleStep s = QMEPointerSpeedChooseNext(current, p);
    if (s.choice != QMEToggleChoice::Apply) break;
    current = s.preset;
    seen.push_back(current);
  }
  return seen;
}

TEST(PointerSpeedToggle, CandidateOrderSkipsDisabledPresets) {
  EXPECT_EQ(Toggles(1, Presets(1, 0, 1), 4), (std::vector<int>{3, 1, 3, 1}));
  EXPECT_EQ(Toggles(1, Presets(1, 1, 1), 4), (std::vector<int>{2, 3, 1, 2}));
  EXPECT_EQ(Toggles(3, Presets(0, 1, 0), 2), (std::vector<int>{2, 2}));
  // A single enabled preset equal to the current one is applied again.
  QMEToggleStep s = QMEPointerSpeedChooseNext(2, Presets(0, 1, 0));
  EXPECT_EQ(s.choice, QMEToggleChoice::Apply);
  EXPECT_EQ(s.preset, 2);
}

TEST(PointerSpeedToggle, OffAndNothingEnabledAreDistinct) {
  EXPECT_EQ(QMEPointerSpeedChooseNext(0, Presets(1, 1, 1)).choice, QMEToggleChoice::Off);
  QMEToggleStep none = QMEPointerSpeedChooseNext(2, Presets(0, 0, 0));
  EXPECT_EQ(none.choice, QMEToggleChoice::NoPreset);
  EXPECT_EQ(none.preset, 0);
}

TEST(PointerSpeedToggle, DamagedCurrentValueStartsAtPresetOne) {
  // Any value outside 0..3 must never index past the three presets.
  for (int32_t bad : {4, 99, -1, -7, INT32_MIN, INT32_MAX}) {
    QMEToggleStep s = QMEPointerSpeedChooseNext(bad, Presets(1, 0, 1));
    EXPECT_EQ(s.choice, QMEToggleChoice::Apply) << bad;
    EXPECT_EQ(s.preset, 1) << bad;
    EXPECT_EQ(QMEPointerSpeedChooseNext(bad, Presets(0, 0, 1)).preset, 3) << bad;
  }
}

TEST(PointerSpeedToggle, WhatIsWrittenForAPreset) {
  QMEPointerSpeedPresets p{{1, 1, 1}, {18, 0, 25}, {1, 0, 7}};
  qvn::MouseAccel on = QMEPointerSpeedAccelFor(1, p);
  EXPECT_EQ(on.threshold1, 6);
  EXPECT_EQ(on.threshold2, 10);
  EXPECT_EQ(on.acceleration, 1);
  qvn::MouseAccel off = QMEPointerSpeedAccelFor(2, p);
  EXPECT_EQ(off.threshold1 | off.threshold2 | off.acceleration, 0);
  EXPECT_EQ(QMEPointerSpeedAccelFor(3, p).acceleration, 1);  // any non-zero flag
  EXPECT_EQ(QMEPointerSpeedFor(1, p), 18);
  // Speeds outside 1..20 are held to the range the system takes.
  EXPECT_EQ(QMEPointerSpeedFor(2, p), 1);
  EXPECT_EQ(QMEPointerSpeedFor(3, p), 20);
  p.speed[0] = -5;
  EXPECT_EQ(QMEPointerSpeedFor(1, p), 1);
}

TEST(PointerSpeedToggle, IconPerPreset) {
  EXPECT_EQ(QMEPointerSpeedIconId(0), 145);
  EXPECT_EQ(QMEPointerSpeedIconId(1), 146);
  EXPECT_EQ(QMEPointerSpeedIconId(3), 148);
  EXPECT_EQ(QMEPointerSpeedIconId(4), 145);
  EXPECT_EQ(QMEPointerSpeedIconId(-1), 145);
}

TEST(PointerSpeedShortcut, KeyMatchesWithTheModifiersItRequires) {
  for (const auto& r : kTable_pointer_speed_shortcuts) {
    const QMEShortcutModifiers held{r[3] == "yes", r[4] == "yes"};
    EXPECT_EQ(QMEShortcutKeyEvent(std::stoul(r[0], nullptr, 0), std::stoul(r[1], nullptr, 0), std::stoul(r[2], nullptr, 0), held),
              r[5] == "yes") << r[0] << " " << r[6];
  }
}

TEST(PointerSpeedShortcut, BitsOutsideTheKeyByteAndTheThreeModifierFlagsMeanNothing) {
  EXPECT_EQ(qvn::ShortcutNormalize(0x7000), 0u);
  EXPECT_EQ(qvn::ShortcutNormalize(0xFFFF8F46u), 0x46u);
  EXPECT_EQ(qvn::ShortcutNormalize(0xFFFFFFFFu), 0x70FFu);
  EXPECT_EQ(qvn::ShortcutNormalize(0x80001046u), 0x1046u);
}

TEST(ScreenPlacement, CentredOnTheMonitorUnderThePointerWhereverItLies) {
  // The flash on a 1920 x 1080 monitor left of the primary one, a box on a smaller one above.
  const qvn::ScreenPoint flash = qvn::CentredOnMonitor({-1920, 0, 0, 1080}, 18, 18);
  const qvn::ScreenPoint box = qvn::CentredOnMonitor({200, -768, 1224, 0}, 100, 50);
  EXPECT_EQ(std::make_pair(flash.x, flash.y), std::make_pair(-978, 522));
  EXPECT_EQ(std::make_pair(box.x, box.y), std::make_pair(612, -434));
}

}  // namespace
