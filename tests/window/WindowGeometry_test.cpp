#include "macos/Runner/WindowGeometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <utility>

namespace {

constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kMin = std::numeric_limits<int32_t>::min();

TEST(WindowGeometry, ResizingKeepsTheLeftAndTopEdges) {
  // Top edge at 800: the new frame hangs 768 points below it.
  EXPECT_EQ(frameWithSizeKeepingTopLeft(CGRectMake(100, 200, 800, 600), 1024, 768),
            CGRectMake(100, 32, 1024, 768));
  // Shrinking moves the bottom edge up; one point is the least there is.
  EXPECT_EQ(frameWithSizeKeepingTopLeft(CGRectMake(0, 0, 800, 600), 400, 300),
            CGRectMake(0, 300, 400, 300));
  EXPECT_EQ(frameWithSizeKeepingTopLeft(CGRectMake(0, 0, 800, 600), 1, 1),
            CGRectMake(0, 599, 1, 1));
}

TEST(WindowGeometry, ASizeBelowOnePointLeavesTheFrameAlone) {
  for (const auto& [width, height] :
       {std::pair{0, 100}, {100, 0}, {-50, 100}, {100, -100}, {kMin, kMin}, {kMax, 0}})
    EXPECT_FALSE(frameWithSizeKeepingTopLeft(CGRectMake(100, 200, 800, 600), width, height))
        << width << " x " << height;
}

TEST(WindowGeometry, ANegativeMinimumSizeCountsAsZero) {
  EXPECT_EQ(minimumSizeFromInt32(320, 240), NSMakeSize(320, 240));
  EXPECT_EQ(minimumSizeFromInt32(-1, 240), NSMakeSize(0, 240));
  EXPECT_EQ(minimumSizeFromInt32(320, kMin), NSMakeSize(320, 0));
}

TEST(WindowGeometry, FrameSizesAreTruncatedTowardZero) {
  EXPECT_EQ(int32FromPoints(1024.7), 1024);
  EXPECT_EQ(int32FromPoints(768.2), 768);
  EXPECT_EQ(int32FromPoints(-3.9), -3);
  EXPECT_EQ(int32FromPoints(-0.5), 0);
  EXPECT_EQ(int32FromPoints(2147483647.9), kMax);
  EXPECT_EQ(int32FromPoints(-2147483648.9), kMin);
}

TEST(WindowGeometry, SizesNoInt32HoldsAreSaturated) {
  EXPECT_EQ(int32FromPoints(2147483648.0), kMax);
  EXPECT_EQ(int32FromPoints(1e300), kMax);
  EXPECT_EQ(int32FromPoints(std::numeric_limits<double>::infinity()), kMax);
  EXPECT_EQ(int32FromPoints(-2147483649.0), kMin);
  EXPECT_EQ(int32FromPoints(-std::numeric_limits<double>::infinity()), kMin);
  EXPECT_EQ(int32FromPoints(std::nan("")), 0);
}

}  // namespace
