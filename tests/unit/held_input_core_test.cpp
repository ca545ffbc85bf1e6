#include "held_input_core.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using qvn::HeldInput;
using qvn::HeldInputTracker;
using qvn::HeldKind;

TEST(HeldInput, EveryDownWithoutItsUpIsReleasedLastPressedFirst) {
  HeldInputTracker t;
  t.Down(HeldKind::Key, 0x10);                 // Shift
  t.Down(HeldKind::Button, 0);                 // left button
  t.Down(HeldKind::Key, 0x2E, 2);              // Delete, extended
  t.Down(HeldKind::Key, 0x11);                 // Ctrl
  t.Up(HeldKind::Button, 0);
  EXPECT_EQ(t.Count(), 3u);
  EXPECT_TRUE(t.Holds(HeldKind::Key, 0x2E));
  EXPECT_FALSE(t.Holds(HeldKind::Button, 0));
  EXPECT_EQ(t.TakeAll(), (std::vector<HeldInput>{{HeldKind::Key, 0x11, 0}, {HeldKind::Key, 0x2E, 2},
                                                 {HeldKind::Key, 0x10, 0}}));
  EXPECT_EQ(t.Count(), 0u);
  EXPECT_TRUE(t.TakeAll().empty()) << "a second release sends nothing";
}

TEST(HeldInput, RepeatedDownsKeepOnePlaceAndStrayUpsChangeNothing) {
  HeldInputTracker t;
  t.Up(HeldKind::Key, 0x10);
  t.Down(HeldKind::Key, 0x10);
  t.Down(HeldKind::Button, 2);
  t.Down(HeldKind::Key, 0x10);
  t.Up(HeldKind::Key, 0x41);
  EXPECT_EQ(t.TakeAll(), (std::vector<HeldInput>{{HeldKind::Button, 2, 0}, {HeldKind::Key, 0x10, 0}}));
  // Key 3 and button 3 are different inputs.
  t.Down(HeldKind::Key, 3);
  t.Up(HeldKind::Button, 3);
  EXPECT_EQ(t.Count(), 1u);
  t.Up(HeldKind::Key, 3);
  EXPECT_EQ(t.Count(), 0u);
}

}  // namespace
