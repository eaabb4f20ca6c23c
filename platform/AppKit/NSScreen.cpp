#include "platform/AppKit/NSScreen.h"

#include <algorithm>

#include "platform/dispatch/MainThread.h"

namespace {

struct ScreenState {
  bool loaded = false;
  std::vector<std::shared_ptr<NSScreen>> screens;
  std::optional<size_t> main;
};

ScreenState& state() {
  static ScreenState screens;
  return screens;
}

void load(const std::vector<platform::ScreenDescription>& descriptions,
          std::optional<size_t> main) {
  ScreenState& screens = state();
  screens.screens.clear();
  for (const auto& description : descriptions)
    screens.screens.push_back(std::make_shared<NSScreen>(description));
  screens.main = main && *main < screens.screens.size() ? main : std::nullopt;
  screens.loaded = true;
}

ScreenState& loadedState() {
  ScreenState& screens = state();
  if (!screens.loaded) load(platform::profileScreens(), platform::profileMainScreen());
  return screens;
}

}  // namespace

NSScreen::NSScreen(const platform::ScreenDescription& description)
    : frame_(NSMakeRect(description.x, description.y, description.width, description.height)),
      backingScaleFactor_(description.backingScaleFactor) {}

std::vector<std::shared_ptr<NSScreen>> NSScreen::screens() {
  assertMainThread();
  return loadedState().screens;
}

std::shared_ptr<NSScreen> NSScreen::mainScreen() {
  assertMainThread();
  const ScreenState& screens = loadedState();
  return screens.main ? screens.screens[*screens.main] : nullptr;
}

NSRect NSScreen::visibleFrame() const {
  NSRect visible = frame_;
  visible.size.height = std::max<CGFloat>(0, visible.size.height - platform::kMenuBarHeight);
  return visible;
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

void setScreens(const std::vector<ScreenDescription>& screens, std::optional<size_t> mainScreen) {
  assertMainThread();
  load(screens, mainScreen);
}

std::optional<size_t> mainScreenIndex() {
  assertMainThread();
  return loadedState().main;
}

void resetScreens() {
  assertMainThread();
  load(profileScreens(), profileMainScreen());
}

}  // namespace platform
