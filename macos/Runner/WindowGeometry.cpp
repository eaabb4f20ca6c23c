#include "macos/Runner/WindowGeometry.h"

#include <cmath>
#include <limits>

CGRect frameWithSizeKeepingTopLeft(CGRect frame, int32_t width, int32_t height) {
  const CGFloat top = CGRectGetMaxY(frame);
  CGRect resized = frame;
  resized.size.width = static_cast<CGFloat>(width);
  resized.size.height = static_cast<CGFloat>(height);
  // CGRectGetHeight is the absolute height, so a negative height still hangs the frame
  // below the old top edge.
  resized.origin.y = top - CGRectGetHeight(resized);
  return resized;
}

int32_t int32FromPoints(CGFloat points) {
  if (std::isnan(points)) return 0;
  const CGFloat truncated = std::trunc(points);
  if (truncated >= static_cast<CGFloat>(std::numeric_limits<int32_t>::max())) {
    return std::numeric_limits<int32_t>::max();
  }
  if (truncated <= static_cast<CGFloat>(std::numeric_limits<int32_t>::min())) {
    return std::numeric_limits<int32_t>::min();
  }
  return static_cast<int32_t>(truncated);
}
