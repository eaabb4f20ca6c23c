#include "platform/desktop/gtk/GtkWindowServer.h"

#include <gtk/gtk.h>

#include <algorithm>

#include "platform/desktop/WindowServerControl.h"
#include "platform/desktop/gtk/GtkPasteboard.h"
#include "platform/desktop/gtk/GtkServerWindow.h"
#include "platform/dispatch/RunLoop.h"

namespace platform {

std::unique_ptr<GtkWindowServer> GtkWindowServer::open() {
  if (!gtk_init_check(nullptr, nullptr)) return nullptr;
  GdkDisplay* display = gdk_display_get_default();
  if (display == nullptr) return nullptr;
  return std::unique_ptr<GtkWindowServer>(new GtkWindowServer(display));
}

GtkWindowServer::GtkWindowServer(GdkDisplay* display) : display_(display), screens_(display) {
  RunLoop::main().setDriver(&driver_);
  GtkPasteboard::install(display);
}

GtkWindowServer::~GtkWindowServer() { RunLoop::main().setDriver(nullptr); }

std::unique_ptr<ServerWindow> GtkWindowServer::createWindow(NSWindow& window, NSRect frame) {
  return std::make_unique<GtkServerWindow>(window, frame, screens_);
}

bool GtkWindowServer::handOverToRunningApplication(const std::string& bundleIdentifier) {
  handover_.emplace(gdk_display_get_name(display_), bundleIdentifier);
  return handover_->handOver();
}

std::optional<size_t> GtkWindowServer::mainScreenIndex() {
  // The primary monitor comes first.
  return gdk_display_get_n_monitors(display_) > 0 ? std::optional<size_t>(0) : std::nullopt;
}

void GtkWindowServer::showPanel(const std::shared_ptr<NSWindow>& window,
                                const std::shared_ptr<NSSavePanel>& panel) {
  const auto* server = dynamic_cast<GtkServerWindow*>(WindowServerControl::serverWindow(*window));
  GtkWindow* parent = server != nullptr ? server->gtkWindow() : nullptr;
  dialogs_[panel.get()] = std::make_unique<GtkPanelDialog>(window, panel, parent);
}

void GtkWindowServer::panelDidEnd(const NSSavePanel& panel) { dialogs_.erase(&panel); }

std::vector<DialogWindow> GtkWindowServer::dialogWindows() const {
  std::vector<DialogWindow> windows;
  for (const auto& [panel, dialog] : dialogs_) {
    if (auto window = dialog->window(screens_)) windows.push_back(std::move(*window));
  }
  std::sort(windows.begin(), windows.end(),
            [](const DialogWindow& a, const DialogWindow& b) { return a.id < b.id; });
  return windows;
}

std::optional<std::vector<uint8_t>> GtkWindowServer::dialogSnapshot(NSInteger id) const {
  for (const auto& [panel, dialog] : dialogs_) {
    if (dialog->id() == id) return dialog->snapshot();
  }
  return std::nullopt;
}

}  // namespace platform
