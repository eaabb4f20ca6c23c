// The window's frame states: zoomed and full screen.
#include "platform/AppKit/NSWindow.h"
#include "platform/dispatch/MainThread.h"

void NSWindow::zoom(const std::shared_ptr<NSObject>&) {
  assertMainThread();
  if (isFullScreen()) return;
  const auto screen = this->screen();
  if (!screen) return;
  if (isZoomed()) {
    // Back to the frame the user had; a window that started zoomed has none to go to.
    if (userFrame_) setFrame(*userFrame_, true);
    return;
  }
  userFrame_ = frame_;
  setFrame(screen->visibleFrame(), true);
}

bool NSWindow::isZoomed() const {
  assertMainThread();
  const auto screen = this->screen();
  return screen && !isFullScreen() && frame_ == screen->visibleFrame();
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
    setFrame(frameBeforeFullScreen_.value_or(frame_), true);
    frameBeforeFullScreen_.reset();
    // The title bar comes back laid out afresh.
    layoutContentView();
    layoutTitlebar();
    post(NSWindowDidExitFullScreenNotification, &NSWindowDelegate::windowDidExitFullScreen);
    return;
  }
  const auto screen = this->screen();
  if ((styleMask_ & NSWindowStyleMaskResizable) == 0 || !isVisible() || !screen) return;
  frameBeforeFullScreen_ = frame_;
  post(NSWindowWillEnterFullScreenNotification, &NSWindowDelegate::windowWillEnterFullScreen);
  styleMask_ |= NSWindowStyleMaskFullScreen;
  setFrame(screen->frame(), true);
  layoutContentView();
  layoutTitlebar();
  post(NSWindowDidEnterFullScreenNotification, &NSWindowDelegate::windowDidEnterFullScreen);
}
