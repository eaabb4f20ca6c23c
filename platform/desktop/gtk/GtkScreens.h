#pragma once

#include <gdk/gdk.h>

#include <memory>
#include <optional>
#include <vector>

#include "platform/CoreGraphics/CGGeometry.h"

class NSScreen;

namespace platform {

// The monitors of a GDK display as AppKit's screens, and the conversion between the two
// coordinate systems: GDK's (logical pixels, which are points; origin at the top left of
// the whole desktop, y downward) and AppKit's (origin at the bottom left of the main
// screen, y upward). The main screen is the primary monitor, else the first. Main thread
// only.
class GtkScreens {
 public:
  explicit GtkScreens(GdkDisplay* display) : display_(display) {}

  // Every monitor, the main one first, with its frame, its work area as the visible frame,
  // and its scale factor.
  std::vector<std::shared_ptr<NSScreen>> screens() const;
  // The index in screens() of the monitor that shows most of `window` (nullopt: none).
  std::optional<size_t> screenIndexOf(GdkWindow* window) const;

  NSRect toAppKit(const GdkRectangle& rectangle) const;
  GdkRectangle toGdk(NSRect frame) const;

 private:
  std::vector<GdkMonitor*> monitors() const;
  GdkRectangle mainGeometry() const;

  GdkDisplay* display_;
};

}  // namespace platform
