#pragma once

#include <memory>

#include "platform/AppKit/NSWindow.h"

// The application's main window: it shows the Flutter view edge to edge under a
// transparent title bar whose buttons sit at fixed places, sets the application up when
// it is loaded, and hides instead of closing. It is its own delegate.
class MainFlutterWindow : public NSWindow, public NSWindowDelegate {
 public:
  void awakeFromNib() override;
  void windowDidResize(const NSNotification& notification) override;
  void windowDidExitFullScreen(const NSNotification& notification) override;
  void windowDidBecomeMain(const NSNotification& notification) override;
  void windowDidBecomeKey(const NSNotification& notification) override;
  // Hides the window and refuses the close.
  bool windowShouldClose(const std::shared_ptr<NSWindow>& sender) override;
  std::shared_ptr<NSWindow> initWithContentRect(NSRect contentRect, NSWindowStyleMask style,
                                                NSBackingStoreType backing, bool defer) override;

 private:
  // Moves the close, miniaturize and zoom buttons to their places in the title bar.
  void positionTrafficLights();
};
