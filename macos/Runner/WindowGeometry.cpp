#include "macos/Runner/WindowGeometry.h"

#include <algorithm>
#include <cmath>
#include <limits>

std::optional<CGRect> frameWithSizeKeepingTopLeft(CGRect frame, int32_t width, int32_t height) {
  if (width < 1 || height < 1) return std::nullopt;
  const CGFloat top = CGRectGetMaxY(frame);
  CGRect resized = frame;
  resized.size.width = static_cast<CGFloat>(width);
  resized.size.height = static_cast<CGFloat>(height);
  resized.origin.y = top - resized.size.height;
  return resized;
}

CGSize minimumSizeFromInt32(int32_t width, int32_t height) {
  return NSMakeSize(static_cast<CGFloat>(std::max(width, 0)),
                    static_cast<CGFloat>(std::max(height, 0)));
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
