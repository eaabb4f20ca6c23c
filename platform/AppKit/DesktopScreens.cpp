#include "platform/AppKit/DesktopScreens.h"

#include <utility>

#include "platform/AppKit/NSApplication.h"
#include "platform/AppKit/NSScreen.h"
#include "platform/AppKit/NSWindow.h"
#include "platform/dispatch/MainThread.h"

namespace platform {

namespace {

// Runs `change`, then has every window whose backing scale factor it changed announce it.
template <typename Change>
void announcingFactorChanges(Change change) {
  std::vector<std::pair<std::shared_ptr<NSWindow>, CGFloat>> before;
  for (const auto& window : NSApp()->windows()) {
    before.emplace_back(window, window->backingScaleFactor());
  }
  change();
  for (const auto& [window, factor] : before) {
    if (window->backingScaleFactor() != factor) window->didChangeBackingProperties();
  }
}

}  // namespace

void moveWindowToScreen(const std::shared_ptr<NSWindow>& window, size_t index) {
  assertMainThread();
  const auto screens = NSScreen::screens();
  TOLVEK_DCHECK(index < screens.size(), "no such screen");
  if (index >= screens.size()) return;
  announcingFactorChanges([&] {
    const auto from = window->screen();
    const auto to = screens[index];
    window->setScreenIndex(index);
    if (!from || from == to) return;
    NSRect frame = window->frame();
    frame.origin.x += to->frame().origin.x - from->frame().origin.x;
    frame.origin.y += to->frame().origin.y - from->frame().origin.y;
    window->setFrame(frame, true);
  });
}

void replaceScreens(const std::vector<ScreenDescription>& screens,
                    std::optional<size_t> mainScreen) {
  assertMainThread();
  announcingFactorChanges([&] {
    setScreens(screens, mainScreen);
    for (const auto& window : NSApp()->windows()) {
      const auto index = window->screenIndex();
      if (index && *index < screens.size()) continue;
      window->setScreenIndex(screens.empty() ? std::nullopt : std::optional<size_t>(0));
    }
  });
}

}  // namespace platform
