#pragma once

#include <memory>

#include "platform/AppKit/NSScreen.h"
#include "platform/AppKit/NSWindow.h"
#include "support/DesktopFixture.h"

namespace scale_testing {

// A 1440 x 900 screen whose left edge is at `x`.
inline platform::ScreenDescription screen(double x, double factor) {
  platform::ScreenDescription description;
  description.x = x;
  description.width = 1440;
  description.height = 900;
  description.backingScaleFactor = factor;
  return description;
}

// A standard window with exactly this frame, on the screen that shows it.
inline std::shared_ptr<NSWindow> openWindow(NSRect frame) {
  auto window = std::make_shared<NSWindow>();
  window->initWithContentRect(frame, kStandardWindowStyle, NSBackingStoreBuffered, false);
  window->setFrame(frame, true);
  return window;
}

// The backing-properties notifications one window posts.
class BackingChanges : public NotificationRecorder {
 public:
  explicit BackingChanges(const std::shared_ptr<NSWindow>& window)
      : NotificationRecorder({NSWindowDidChangeBackingPropertiesNotification}, window) {}
  int count() const { return static_cast<int>(posted().size()); }
};

}  // namespace scale_testing
