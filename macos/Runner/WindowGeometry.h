#pragma once

#include <cstdint>
#include <optional>

#include "platform/CoreGraphics/CGGeometry.h"

// The frame `tolvek_window_set_size` gives a window whose frame is `frame`: the left and
// top edges stay, the width and height are the ones asked for, so the window grows or
// shrinks to the right and downward. Nothing when the width or the height is below one
// point: no window has such a size, and the frame stays as it is.
std::optional<CGRect> frameWithSizeKeepingTopLeft(CGRect frame, int32_t width, int32_t height);

// The minimum size `tolvek_window_set_min_size` sets: a negative dimension counts as 0.
CGSize minimumSizeFromInt32(int32_t width, int32_t height);

// A frame dimension as the C boundary reports it: truncated toward zero. A value that no
// int32 holds is saturated: above the range it is INT32_MAX (+infinity too), below it
// INT32_MIN (-infinity too), and NaN is 0.
int32_t int32FromPoints(CGFloat points);
