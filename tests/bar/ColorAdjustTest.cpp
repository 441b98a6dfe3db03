#include "bar/ColorAdjust.h"

#include <gtest/gtest.h>

#include <climits>

namespace vantrel {
namespace {

TEST(AdjustColorTest, AddsToEachChannelClampsItToByteRangeAndClearsTheTopByte) {
  const Color green = MakeColor(16, 112, 48);
  EXPECT_EQ(AdjustColor(green, 100), MakeColor(116, 212, 148));
  EXPECT_EQ(AdjustColor(green, -100), MakeColor(0, 12, 0));
  EXPECT_EQ(AdjustColor(MakeColor(250, 5, 128), 10), MakeColor(255, 15, 138));
  // A stored colour may carry anything in its top byte; the shades never do.
  EXPECT_EQ(AdjustColor(0xAB307010u, 0), 0x00307010u);
  EXPECT_EQ(AdjustColor(0xFF000000u, 20), MakeColor(20, 20, 20));
  // No amount overflows before the clamp.
  EXPECT_EQ(AdjustColor(MakeColor(1, 2, 3), INT_MAX), MakeColor(255, 255, 255));
  EXPECT_EQ(AdjustColor(MakeColor(254, 253, 252), INT_MIN), MakeColor(0, 0, 0));
}

}  // namespace
}  // namespace vantrel
