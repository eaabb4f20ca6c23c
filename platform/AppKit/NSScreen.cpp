#include "platform/AppKit/NSScreen.h"

#include <algorithm>

#include "platform/desktop/WindowServer.h"
#include "platform/dispatch/MainThread.h"

NSScreen::NSScreen(const platform::ScreenDescription& description)
    : frame_(NSMakeRect(description.x, description.y, description.width, description.height)),
      visibleFrame_(frame_),
      backingScaleFactor_(description.backingScaleFactor) {
  // The menu bar runs across the top of every screen of the model.
  visibleFrame_.size.height =
      std::max<CGFloat>(0, visibleFrame_.size.height - platform::kMenuBarHeight);
}

NSScreen::NSScreen(NSRect frame, NSRect visibleFrame, CGFloat backingScaleFactor)
    : frame_(frame), visibleFrame_(visibleFrame), backingScaleFactor_(backingScaleFactor) {}

std::vector<std::shared_ptr<NSScreen>> NSScreen::screens() {
  assertMainThread();
  return platform::windowServer().screens();
}

std::shared_ptr<NSScreen> NSScreen::mainScreen() {
  assertMainThread();
  const auto screens = platform::windowServer().screens();
  const auto main = platform::windowServer().mainScreenIndex();
  return main && *main < screens.size() ? screens[*main] : nullptr;
}

namespace platform {

std::vector<ScreenDescription> profileScreens() {
  const auto& profile = MachineProfile::current();
  if (profile.screens) return *profile.screens;
  ScreenDescription standard;
  standard.width = 1440;
  standard.height = 900;
  standard.backingScaleFactor = 2.0;
  return {standard};
}

std::optional<size_t> profileMainScreen() {
  const auto& profile = MachineProfile::current();
  if (profile.mainScreen) return *profile.mainScreen;
  return profileScreens().empty() ? std::nullopt : std::optional<size_t>(0);
}

std::optional<size_t> mainScreenIndex() {
  assertMainThread();
  return windowServer().mainScreenIndex();
}

}  // namespace platform
