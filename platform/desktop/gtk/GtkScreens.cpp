#include "platform/desktop/gtk/GtkScreens.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "platform/AppKit/NSScreen.h"

namespace platform {

namespace {

// A coordinate X11 can carry.
int windowSystemCoordinate(double value) {
  constexpr double kLimit = std::numeric_limits<int16_t>::max();
  if (!std::isfinite(value)) return 0;
  return static_cast<int>(std::lround(std::clamp(value, -kLimit, kLimit)));
}

}  // namespace

std::vector<GdkMonitor*> GtkScreens::monitors() const {
  std::vector<GdkMonitor*> list;
  const int count = gdk_display_get_n_monitors(display_);
  GdkMonitor* primary = gdk_display_get_primary_monitor(display_);
  if (primary != nullptr) list.push_back(primary);
  for (int index = 0; index < count; ++index) {
    GdkMonitor* monitor = gdk_display_get_monitor(display_, index);
    if (monitor != primary) list.push_back(monitor);
  }
  return list;
}

GdkRectangle GtkScreens::mainGeometry() const {
  GdkRectangle geometry{0, 0, 0, 0};
  const auto list = monitors();
  if (!list.empty()) gdk_monitor_get_geometry(list.front(), &geometry);
  return geometry;
}

std::vector<std::shared_ptr<NSScreen>> GtkScreens::screens() const {
  std::vector<std::shared_ptr<NSScreen>> screens;
  for (GdkMonitor* monitor : monitors()) {
    GdkRectangle geometry, workarea;
    gdk_monitor_get_geometry(monitor, &geometry);
    gdk_monitor_get_workarea(monitor, &workarea);
    screens.push_back(std::make_shared<NSScreen>(toAppKit(geometry), toAppKit(workarea),
                                                 gdk_monitor_get_scale_factor(monitor)));
  }
  return screens;
}

std::optional<size_t> GtkScreens::screenIndexOf(GdkWindow* window) const {
  if (window == nullptr) return monitors().empty() ? std::nullopt : std::optional<size_t>(0);
  GdkMonitor* monitor = gdk_display_get_monitor_at_window(display_, window);
  const auto list = monitors();
  const auto found = std::find(list.begin(), list.end(), monitor);
  if (found == list.end()) return list.empty() ? std::nullopt : std::optional<size_t>(0);
  return static_cast<size_t>(found - list.begin());
}

NSRect GtkScreens::toAppKit(const GdkRectangle& rectangle) const {
  const GdkRectangle main = mainGeometry();
  return NSMakeRect(rectangle.x - main.x, (main.y + main.height) - (rectangle.y + rectangle.height),
                    rectangle.width, rectangle.height);
}

GdkRectangle GtkScreens::toGdk(NSRect frame) const {
  const GdkRectangle main = mainGeometry();
  const double width = std::fabs(frame.size.width), height = std::fabs(frame.size.height);
  return GdkRectangle{windowSystemCoordinate(frame.origin.x + main.x),
                      windowSystemCoordinate((main.y + main.height) - (frame.origin.y + height)),
                      std::max(1, windowSystemCoordinate(width)),
                      std::max(1, windowSystemCoordinate(height))};
}

}  // namespace platform
