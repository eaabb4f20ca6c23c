#include "platform/desktop/model/ModelWindowServer.h"

#include <stdexcept>
#include <string>
#include <utility>

#include "platform/AppKit/NSApplication.h"
#include "platform/AppKit/NSScreen.h"
#include "platform/AppKit/NSWindow.h"
#include "platform/desktop/WindowServerControl.h"
#include "platform/desktop/model/ModelScreens.h"
#include "platform/desktop/model/ModelWindow.h"
#include "platform/dispatch/MainThread.h"

namespace platform {

namespace {

ModelWindow* modelWindow(NSWindow& window) {
  return dynamic_cast<ModelWindow*>(WindowServerControl::serverWindow(window));
}

// Runs `change`, then has every window whose backing scale factor it changed announce it.
template <typename Change>
void announcingFactorChanges(Change change) {
  std::vector<std::pair<std::shared_ptr<NSWindow>, CGFloat>> before;
  for (const auto& window : NSApp()->windows()) {
    before.emplace_back(window, window->backingScaleFactor());
  }
  change();
  for (const auto& [window, factor] : before) {
    if (window->backingScaleFactor() != factor)
      WindowServerControl::windowDidChangeBackingProperties(*window);
  }
}

}  // namespace

std::unique_ptr<ServerWindow> ModelWindowServer::createWindow(NSWindow& window, NSRect frame) {
  return std::make_unique<ModelWindow>(window, frame);
}

std::vector<std::shared_ptr<NSScreen>> ModelWindowServer::screens() { return modelScreens(); }

std::optional<size_t> ModelWindowServer::mainScreenIndex() { return modelMainScreen(); }

void ModelWindowServer::moveWindowToScreen(const std::shared_ptr<NSWindow>& window, size_t index) {
  assertMainThread();
  const auto screens = NSScreen::screens();
  if (index >= screens.size()) throw std::invalid_argument("no such screen");
  ModelWindow* server = modelWindow(*window);
  if (server == nullptr) throw std::invalid_argument("the window is not on the desktop");
  announcingFactorChanges([&] {
    const auto from = window->screen();
    const auto to = screens[index];
    server->setScreenIndex(index);
    if (!from || from == to) return;
    NSRect frame = window->frame();
    frame.origin.x += to->frame().origin.x - from->frame().origin.x;
    frame.origin.y += to->frame().origin.y - from->frame().origin.y;
    window->setFrame(frame, true);
  });
}

void ModelWindowServer::replaceScreens(const std::vector<ScreenDescription>& screens,
                                       std::optional<size_t> mainScreen) {
  assertMainThread();
  announcingFactorChanges([&] {
    setScreens(screens, mainScreen);
    for (const auto& window : NSApp()->windows()) {
      ModelWindow* server = modelWindow(*window);
      if (server == nullptr) continue;
      const auto index = server->screenIndex();
      if (index && *index < screens.size()) continue;
      server->setScreenIndex(screens.empty() ? std::nullopt : std::optional<size_t>(0));
    }
  });
}

}  // namespace platform
