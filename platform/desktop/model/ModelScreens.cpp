#include "platform/desktop/model/ModelScreens.h"

#include "platform/AppKit/NSScreen.h"
#include "platform/dispatch/MainThread.h"

namespace platform {

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

void load(const std::vector<ScreenDescription>& descriptions, std::optional<size_t> main) {
  ScreenState& screens = state();
  screens.screens.clear();
  for (const auto& description : descriptions)
    screens.screens.push_back(std::make_shared<NSScreen>(description));
  screens.main = main && *main < screens.screens.size() ? main : std::nullopt;
  screens.loaded = true;
}

ScreenState& loadedState() {
  ScreenState& screens = state();
  if (!screens.loaded) load(profileScreens(), profileMainScreen());
  return screens;
}

}  // namespace

std::vector<std::shared_ptr<NSScreen>> modelScreens() {
  assertMainThread();
  return loadedState().screens;
}

std::optional<size_t> modelMainScreen() {
  assertMainThread();
  return loadedState().main;
}

void setScreens(const std::vector<ScreenDescription>& screens, std::optional<size_t> mainScreen) {
  assertMainThread();
  load(screens, mainScreen);
}

void resetScreens() {
  assertMainThread();
  load(profileScreens(), profileMainScreen());
}

}  // namespace platform
