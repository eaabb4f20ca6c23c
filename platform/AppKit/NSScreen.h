#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "platform/CoreGraphics/CGGeometry.h"
#include "platform/Foundation/NSObject.h"
#include "platform/machine/MachineProfile.h"

// A display: its frame in the global coordinates of the desktop (origin bottom-left of the
// main screen, y upward), the part of it windows may fill, and its density. The window
// server has them: on the desktop model they come from the machine profile (one 1440 x 900
// screen of factor 2.0 when it names none), on a real desktop from its monitors.
class NSScreen : public NSObject {
 public:
  // A screen of the desktop model: the menu bar runs across its top.
  explicit NSScreen(const platform::ScreenDescription& description);
  NSScreen(NSRect frame, NSRect visibleFrame, CGFloat backingScaleFactor);

  // Every screen, the first one holding the menu bar. Main thread only.
  static std::vector<std::shared_ptr<NSScreen>> screens();
  // The screen the user works on, or nullptr when there is none. Main thread only.
  static std::shared_ptr<NSScreen> mainScreen();

  NSRect frame() const { return frame_; }
  // The part of the frame windows may fill: less the menu bar and the Dock.
  NSRect visibleFrame() const { return visibleFrame_; }
  CGFloat backingScaleFactor() const { return backingScaleFactor_; }

 private:
  NSRect frame_;
  NSRect visibleFrame_;
  CGFloat backingScaleFactor_;
};

namespace platform {

// The height of the menu bar at the top of each screen, in points.
inline constexpr CGFloat kMenuBarHeight = 25;

// The screens of the machine profile: one 1440 x 900 screen of factor 2.0 when it names
// none; its main screen, or the first screen when it names none.
std::vector<ScreenDescription> profileScreens();
std::optional<size_t> profileMainScreen();

// The index of the main screen in NSScreen::screens(), if there is one. Main thread only.
std::optional<size_t> mainScreenIndex();

}  // namespace platform
