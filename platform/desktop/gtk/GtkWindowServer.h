#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/desktop/WindowServer.h"
#include "platform/desktop/gtk/GLibRunLoopDriver.h"
#include "platform/desktop/gtk/GtkScreens.h"
#include "platform/desktop/gtk/ReopenHandover.h"

namespace platform {

// The real desktop through GTK 3, on X11 or Wayland: real top-level windows on the
// display's monitors, with GLib's main loop as the main run loop. Main thread only.
class GtkWindowServer : public WindowServer {
 public:
  // Opens the default display; nullptr when none opens.
  static std::unique_ptr<GtkWindowServer> open();
  ~GtkWindowServer() override;

  const char* name() const override { return "gtk"; }
  std::unique_ptr<ServerWindow> createWindow(NSWindow& window, NSRect frame) override;
  // Same user, same display, same bundle identifier.
  bool handOverToRunningApplication(const std::string& bundleIdentifier) override;
  std::vector<std::shared_ptr<NSScreen>> screens() override { return screens_.screens(); }
  std::optional<size_t> mainScreenIndex() override;

 private:
  explicit GtkWindowServer(GdkDisplay* display);

  GdkDisplay* display_;
  GtkScreens screens_;
  GLibRunLoopDriver driver_;
  std::optional<ReopenHandover> handover_;
};

}  // namespace platform
