#include "process_start_core.h"

#include <gtest/gtest.h>

namespace {
using qvn::ClassifyStartFailure;
using qvn::StartFailure;

TEST(StartFailure, OnlyARefusedElevationPromptCountsAsDone) {
  EXPECT_EQ(ClassifyStartFailure(true, 1223), StartFailure::RefusedElevation);
  EXPECT_EQ(ClassifyStartFailure(false, 1223), StartFailure::Failed);  // no prompt was shown
  EXPECT_EQ(ClassifyStartFailure(true, 2), StartFailure::Failed);
  EXPECT_EQ(ClassifyStartFailure(true, 5), StartFailure::Failed);
  EXPECT_EQ(ClassifyStartFailure(false, 0), StartFailure::Failed);
}
}  // namespace
