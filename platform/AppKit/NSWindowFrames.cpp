// The window's frame states: zoomed and full screen.
#include "platform/AppKit/NSWindow.h"
#include "platform/dispatch/MainThread.h"

void NSWindow::zoom(const std::shared_ptr<NSObject>&) {
  assertMainThread();
  if (isFullScreen() || !server_) return;
  server_->zoom();
}

bool NSWindow::isZoomed() const {
  assertMainThread();
  return server_ && !isFullScreen() && server_->isZoomed();
}

void NSWindow::performZoom(const std::shared_ptr<NSObject>& sender) {
  assertMainThread();
  if ((styleMask_ & NSWindowStyleMaskResizable) == 0) return;
  zoom(sender);
}

bool NSWindow::isFullScreen() const {
  assertMainThread();
  return (styleMask_ & NSWindowStyleMaskFullScreen) != 0;
}

void NSWindow::toggleFullScreen(const std::shared_ptr<NSObject>&) {
  assertMainThread();
  auto keepAlive = self<NSWindow>();
  if (isFullScreen()) {
    post(NSWindowWillExitFullScreenNotification, &NSWindowDelegate::windowWillExitFullScreen);
    styleMask_ &= ~NSWindowStyleMaskFullScreen;
    if (server_) server_->setFullScreen(false);
    // The title bar comes back laid out afresh.
    layoutContentView();
    layoutTitlebar();
    post(NSWindowDidExitFullScreenNotification, &NSWindowDelegate::windowDidExitFullScreen);
    return;
  }
  const auto screen = this->screen();
  if ((styleMask_ & NSWindowStyleMaskResizable) == 0 || !isVisible() || !screen) return;
  post(NSWindowWillEnterFullScreenNotification, &NSWindowDelegate::windowWillEnterFullScreen);
  styleMask_ |= NSWindowStyleMaskFullScreen;
  server_->setFullScreen(true);
  layoutContentView();
  layoutTitlebar();
  post(NSWindowDidEnterFullScreenNotification, &NSWindowDelegate::windowDidEnterFullScreen);
}
