#pragma once

#include <optional>

#include "platform/desktop/WindowServer.h"

namespace platform {

// A window of the desktop model: the window server in the process. It does at once what
// it is asked and reports it back at once, so AppKit sees every change before the call
// returns. It keeps what the window server remembers of a window: its screen, the frame
// the user had before zooming and before full screen.
class ModelWindow : public ServerWindow {
 public:
  ModelWindow(NSWindow& window, NSRect frame);

  void setFrame(NSRect frame) override;
  void setMinSize(NSSize) override {}
  void setTitle(const std::string&) override {}
  void orderFront() override;
  void orderOut() override;
  void makeKey() override {}
  void miniaturize() override;
  void deminiaturize() override;
  void zoom() override;
  bool isZoomed() const override;
  void setFullScreen(bool fullScreen) override;
  void performDrag(const NSEvent&) override {}
  void setNeedsDisplay() override {}
  void close() override {}

  std::optional<size_t> screenIndex() const override { return screenIndex_; }
  double backingScaleFactor() const override;

  // The user puts the window on another screen (nullopt: none).
  void setScreenIndex(std::optional<size_t> index) { screenIndex_ = index; }

 private:
  NSWindow& window_;
  std::optional<size_t> screenIndex_;
  std::optional<NSRect> userFrame_;
  std::optional<NSRect> frameBeforeFullScreen_;
};

}  // namespace platform
