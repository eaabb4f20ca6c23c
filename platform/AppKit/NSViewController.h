#pragma once

#include <memory>

#include "platform/AppKit/NSView.h"

// Manages one view; a window shows the view of its content view controller.
class NSViewController : public NSObject {
 public:
  virtual std::shared_ptr<NSView> view() = 0;
};
