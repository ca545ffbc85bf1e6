#include "picture_scale_core.h"

#include <gtest/gtest.h>

namespace {

// The nearest generated scale (a tie takes the larger, 0 is 100 %); scaling rounds halves away from zero, as MulDiv.
TEST(PictureScale, NearestGeneratedScaleAndRoundedLengths) {
  const int rows[][2] = {{0, 100}, {107, 100}, {108, 125}, {131, 125}, {132, 150}, {167, 150}, {168, 200}, {288, 200}};
  for (const auto& r : rows) EXPECT_EQ(qvn::PictureScaleFor(r[0]), r[1]) << r[0];
  EXPECT_EQ(qvn::ScaledToPicture(1, 150), 2);  // 1.5
  EXPECT_EQ(qvn::ScaledToDpi(50, 120), 63);    // 62.5
  EXPECT_EQ(qvn::ScaledToDpi(-3, 144), -5);    // -4.5
  EXPECT_EQ(qvn::ScaledToDpi(36, 0), 36);
}

}  // namespace
