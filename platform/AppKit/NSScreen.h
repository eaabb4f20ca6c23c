#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "platform/CoreGraphics/CGGeometry.h"
#include "platform/Foundation/NSObject.h"
#include "platform/machine/MachineProfile.h"

// A display of the desktop model: its frame in the global coordinates of the desktop
// (origin bottom-left, y upward), the part of it windows may fill, and its density.
// The screens come from the machine profile, or one 1440 x 900 screen of factor 2.0.
class NSScreen : public NSObject {
 public:
  explicit NSScreen(const platform::ScreenDescription& description);

  // Every screen, the first one holding the menu bar. Main thread only.
  static std::vector<std::shared_ptr<NSScreen>> screens();
  // The screen the user works on, or nullptr when there is none. Main thread only.
  static std::shared_ptr<NSScreen> mainScreen();

  NSRect frame() const { return frame_; }
  // The frame less the menu bar across its top.
  NSRect visibleFrame() const;
  CGFloat backingScaleFactor() const { return backingScaleFactor_; }

 private:
  NSRect frame_;
  CGFloat backingScaleFactor_;
};

namespace platform {

// The height of the menu bar at the top of each screen, in points.
inline constexpr CGFloat kMenuBarHeight = 25;

// The screens of the machine profile: one 1440 x 900 screen of factor 2.0 when it names
// none; its main screen, or the first screen when it names none.
std::vector<ScreenDescription> profileScreens();
std::optional<size_t> profileMainScreen();

// Replaces the desktop's screens (the window server's control side, and tests). Windows
// keep their screen index; a window whose index no longer exists has no screen. Main
// thread only.
void setScreens(const std::vector<ScreenDescription>& screens, std::optional<size_t> mainScreen);
// The index of the main screen in NSScreen::screens(), if there is one.
std::optional<size_t> mainScreenIndex();
// Back to the screens of the machine profile.
void resetScreens();

}  // namespace platform
