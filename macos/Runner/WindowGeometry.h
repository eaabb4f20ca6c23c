#pragma once

#include <cstdint>

#include "platform/CoreGraphics/CGGeometry.h"

// The frame `tolvek_window_set_size` gives a window whose frame is `frame`: the left and
// top edges stay, the width and height are the ones asked for (negative values included),
// so the window grows or shrinks to the right and downward.
CGRect frameWithSizeKeepingTopLeft(CGRect frame, int32_t width, int32_t height);

// A frame dimension as the C boundary reports it: truncated toward zero. A value that no
// int32 holds is saturated: above the range it is INT32_MAX (+infinity too), below it
// INT32_MIN (-infinity too), and NaN is 0.
int32_t int32FromPoints(CGFloat points);
