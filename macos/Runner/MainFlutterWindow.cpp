#include "macos/Runner/MainFlutterWindow.h"

#include "macos/Flutter/FlutterViewController.h"
#include "macos/Runner/GeneratedPluginRegistrant.h"
#include "macos/Runner/SystemScale.h"
#include "macos/Runner/TolvekWindowState.h"
#include "platform/AppKit/ClassRegistry.h"
#include "platform/dispatch/DispatchQueue.h"
#include "platform/dispatch/MainThread.h"

namespace {

const platform::ClassRegistration<MainFlutterWindow> registration("MainFlutterWindow");

// The height of the band at the top of the window in which the buttons are centred.
CGFloat titleBarHeight() {
  static const CGFloat height = 32.0;
  return height;
}

struct TrafficLightPlacement {
  NSWindowButton button;
  CGFloat x;
};
constexpr TrafficLightPlacement kTrafficLights[] = {
    {NSWindowCloseButton, 10},
    {NSWindowMiniaturizeButton, 30},
    {NSWindowZoomButton, 50},
};

}  // namespace

void MainFlutterWindow::awakeFromNib() {
  assertMainThread();
  auto flutterViewController = FlutterViewController::create();
  const CGRect windowFrame = frame();
  setTitleVisibility(NSWindowTitleHidden);
  setTitlebarAppearsTransparent(true);
  setStyleMask(styleMask() | NSWindowStyleMaskFullSizeContentView);
  setMovableByWindowBackground(false);
  setToolbar(nullptr);
  setContentViewController(flutterViewController);
  setFrame(windowFrame, true);

  TolvekWindowState::setWindow(self<NSWindow>());
  setDelegate(self<MainFlutterWindow>());
  positionTrafficLights();

  RegisterGeneratedPlugins(flutterViewController);
  SystemScale::shared()->registerController(flutterViewController, self<NSWindow>());

  NSWindow::awakeFromNib();

  // The title bar may be laid out once more before the first frame; place the buttons
  // again after that, unless the window is gone by then.
  platform::mainQueue().async([window = weakSelf<MainFlutterWindow>()] {
    if (auto strongWindow = window.lock()) strongWindow->positionTrafficLights();
  });
}

void MainFlutterWindow::windowDidResize(const NSNotification&) { positionTrafficLights(); }

void MainFlutterWindow::windowDidExitFullScreen(const NSNotification&) { positionTrafficLights(); }

void MainFlutterWindow::windowDidBecomeMain(const NSNotification&) { positionTrafficLights(); }

void MainFlutterWindow::windowDidBecomeKey(const NSNotification&) { positionTrafficLights(); }

bool MainFlutterWindow::windowShouldClose(const std::shared_ptr<NSWindow>& sender) {
  sender->orderOut(nullptr);
  return false;
}

std::shared_ptr<NSWindow> MainFlutterWindow::initWithContentRect(NSRect contentRect,
                                                                 NSWindowStyleMask style,
                                                                 NSBackingStoreType backing,
                                                                 bool defer) {
  return NSWindow::initWithContentRect(contentRect, style, backing, defer);
}

void MainFlutterWindow::positionTrafficLights() {
  assertMainThread();
  for (const auto& [kind, x] : kTrafficLights) {
    const auto button = standardWindowButton(kind);
    if (!button) continue;  // a fixed-size window has no zoom button, for one
    const auto superview = button->superview();
    if (!superview) continue;
    const CGFloat superviewHeight = CGRectGetHeight(superview->frame());
    const CGFloat buttonHeight = CGRectGetHeight(button->frame());
    const CGFloat y = (superviewHeight - buttonHeight) - (titleBarHeight() - buttonHeight) * 0.5;
    button->setFrameOrigin(NSMakePoint(x, y));
  }
}
