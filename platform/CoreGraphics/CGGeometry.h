#pragma once

#include <cmath>

using CGFloat = double;

struct CGPoint {
  CGFloat x = 0, y = 0;
  friend bool operator==(const CGPoint&, const CGPoint&) = default;
};

struct CGSize {
  CGFloat width = 0, height = 0;
  friend bool operator==(const CGSize&, const CGSize&) = default;
};

// A rectangle in points; the origin is its bottom-left corner and y grows upward.
struct CGRect {
  CGPoint origin;
  CGSize size;
  friend bool operator==(const CGRect&, const CGRect&) = default;
};

using NSPoint = CGPoint;
using NSSize = CGSize;
using NSRect = CGRect;

inline CGRect CGRectMake(CGFloat x, CGFloat y, CGFloat width, CGFloat height) {
  return CGRect{{x, y}, {width, height}};
}
inline CGRect NSMakeRect(CGFloat x, CGFloat y, CGFloat width, CGFloat height) {
  return CGRectMake(x, y, width, height);
}
inline CGPoint NSMakePoint(CGFloat x, CGFloat y) { return CGPoint{x, y}; }
inline CGSize NSMakeSize(CGFloat width, CGFloat height) { return CGSize{width, height}; }

// Heights and widths as the geometry functions report them: absolute values, since a
// rectangle may carry a negative size.
inline CGFloat CGRectGetHeight(const CGRect& rect) { return std::fabs(rect.size.height); }
inline CGFloat CGRectGetWidth(const CGRect& rect) { return std::fabs(rect.size.width); }
inline CGFloat CGRectGetMinX(const CGRect& rect) {
  return std::fmin(rect.origin.x, rect.origin.x + rect.size.width);
}
inline CGFloat CGRectGetMaxX(const CGRect& rect) {
  return std::fmax(rect.origin.x, rect.origin.x + rect.size.width);
}
inline CGFloat CGRectGetMinY(const CGRect& rect) {
  return std::fmin(rect.origin.y, rect.origin.y + rect.size.height);
}
inline CGFloat CGRectGetMaxY(const CGRect& rect) {
  return std::fmax(rect.origin.y, rect.origin.y + rect.size.height);
}
inline CGFloat CGRectGetMidX(const CGRect& rect) { return rect.origin.x + rect.size.width / 2; }
inline CGFloat CGRectGetMidY(const CGRect& rect) { return rect.origin.y + rect.size.height / 2; }
