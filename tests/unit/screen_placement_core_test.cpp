#include "screen_placement_core.h"

#include <gtest/gtest.h>

namespace {

TEST(ScreenPlacement, CentredOnTheMonitorUnderThePointerWhereverItLies) {
  // A 1920 x 1080 monitor left of the primary one, and a smaller one above.
  const qvn::ScreenPoint flash = qvn::CentredOnMonitor({-1920, 0, 0, 1080}, 18, 18);
  EXPECT_EQ(flash.x, -978);
  EXPECT_EQ(flash.y, 522);
  const qvn::ScreenPoint box = qvn::CentredOnMonitor({200, -768, 1224, 0}, 100, 50);
  EXPECT_EQ(box.x, 612);
  EXPECT_EQ(box.y, -434);
}

}  // namespace
