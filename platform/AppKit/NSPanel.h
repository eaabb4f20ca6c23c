#pragma once

#include "platform/AppKit/NSWindow.h"

// A window that floats over the application's windows to offer tools or choices. It can
// become key but never main.
class NSPanel : public NSWindow {
 public:
  bool canBecomeMainWindow() const override { return false; }
};
