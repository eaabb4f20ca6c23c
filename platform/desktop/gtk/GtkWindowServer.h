#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/desktop/DialogWindows.h"
#include "platform/desktop/WindowServer.h"
#include "platform/desktop/gtk/GLibRunLoopDriver.h"
#include "platform/desktop/gtk/GtkPanelDialog.h"
#include "platform/desktop/gtk/GtkScreens.h"
#include "platform/desktop/gtk/ReopenHandover.h"

namespace platform {

// The real desktop through GTK 3, on X11 or Wayland: real top-level windows on the
// display's monitors, with GLib's main loop as the main run loop, and a file dialog for
// each panel a window shows. Main thread only.
class GtkWindowServer : public WindowServer, public DialogWindows {
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
  void showPanel(const std::shared_ptr<NSWindow>& window,
                 const std::shared_ptr<NSSavePanel>& panel) override;
  void panelDidEnd(const NSSavePanel& panel) override;
  std::vector<DialogWindow> dialogWindows() const override;
  std::optional<std::vector<uint8_t>> dialogSnapshot(NSInteger id) const override;

 private:
  explicit GtkWindowServer(GdkDisplay* display);

  GdkDisplay* display_;
  GtkScreens screens_;
  GLibRunLoopDriver driver_;
  std::optional<ReopenHandover> handover_;
  // The file dialogs up, by the panel they answer.
  std::map<const NSSavePanel*, std::unique_ptr<GtkPanelDialog>> dialogs_;
};

}  // namespace platform
