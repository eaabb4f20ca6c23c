#pragma once

#include "platform/AppKit/NSView.h"

// The band across the top of a titled window that holds its standard buttons. The window
// lays it out: as wide as the window, always 28 points tall, buttons 14 by 16 points.
class NSTitlebarView : public NSView {
 public:
  static constexpr CGFloat kHeight = 28;
  static constexpr CGSize kButtonSize{14, 16};
  // Where the window puts its buttons: 20 points apart from x 7, centred vertically.
  static CGPoint standardButtonOrigin(unsigned kind, CGFloat buttonHeight) {
    return CGPoint{7.0 + 20.0 * kind, (kHeight - buttonHeight) / 2};
  }
};
