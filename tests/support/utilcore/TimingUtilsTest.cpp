#include "utilcore/TimingUtils.h"

#include <gtest/gtest.h>

TEST(TimingUtils, StopWithoutStartIsZero) {
  CTimingUtils timer;
  EXPECT_EQ(timer.Stop(), 0);
}

TEST(TimingUtils, StopIsNeverNegative) {
  CTimingUtils timer;
  timer.Start();
  EXPECT_GE(timer.Stop(), 0);
}
