#pragma once

#include "platform/desktop/WindowServer.h"

namespace platform {

// The desktop model: a window server inside the process, with the machine profile's
// screens. It serves wherever there is no display, and every in-process test.
class ModelWindowServer : public WindowServer {
 public:
  const char* name() const override { return "model"; }
  std::unique_ptr<ServerWindow> createWindow(NSWindow& window, NSRect frame) override;
  std::vector<std::shared_ptr<NSScreen>> screens() override;
  std::optional<size_t> mainScreenIndex() override;

  // Whenever these change a window's backing scale factor, the window announces it, as
  // the platform does.
  // Puts `window` on screen `index`, at the same place relative to the screen's origin as
  // on its former screen.
  void moveWindowToScreen(const std::shared_ptr<NSWindow>& window, size_t index) override;
  // Each window stays on its screen index while that screen exists, and goes to screen 0
  // otherwise (to no screen when there is none).
  void replaceScreens(const std::vector<ScreenDescription>& screens,
                      std::optional<size_t> mainScreen) override;
};

}  // namespace platform
