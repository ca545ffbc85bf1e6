#include "picture_scale_core.h"

#include <gtest/gtest.h>

namespace {

// The nearest generated scale; a tie between two takes the larger one.
TEST(PictureScale, NearestGeneratedScaleForDpi) {
  const struct { unsigned dpi; int scale; int sizeOf32; } rows[] = {
      {0, 100, 32},   {96, 100, 32},  {107, 100, 32}, {108, 125, 40}, {120, 125, 40},
      {132, 150, 48}, {144, 150, 48}, {168, 200, 64}, {192, 200, 64}, {288, 200, 64}};
  for (const auto& r : rows) {
    EXPECT_EQ(qvn::PictureScaleFor(r.dpi), r.scale) << r.dpi;
    EXPECT_EQ(qvn::ScaledToPicture(32, qvn::PictureScaleFor(r.dpi)), r.sizeOf32) << r.dpi;
  }
}

TEST(PictureScale, LengthsAt96DpiRoundToTheNearestPixel) {
  EXPECT_EQ(qvn::ScaledToDpi(100, 144), 150);
  EXPECT_EQ(qvn::ScaledToDpi(50, 120), 63);   // 62.5
  EXPECT_EQ(qvn::ScaledToDpi(-3, 144), -5);   // -4.5, away from zero like MulDiv
  EXPECT_EQ(qvn::ScaledToDpi(36, 0), 36);
}

}  // namespace
