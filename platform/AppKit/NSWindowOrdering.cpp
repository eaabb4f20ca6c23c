// The window's place on the desktop: order, visibility, key and main, miniaturizing and
// closing.
#include "platform/AppKit/NSApplication.h"
#include "platform/AppKit/NSWindow.h"
#include "platform/dispatch/MainThread.h"

void NSWindow::makeKeyAndOrderFront(const std::shared_ptr<NSObject>& sender) {
  assertMainThread();
  orderFront(sender);
  makeKeyWindow();
  makeMainWindow();
}

void NSWindow::orderFront(const std::shared_ptr<NSObject>&) {
  assertMainThread();
  auto keepAlive = self<NSWindow>();
  NSApp()->moveWindowToFront(this);
  if (server_) server_->orderFront();
}

void NSWindow::serverDidOrderIn() {
  auto keepAlive = self<NSWindow>();
  orderedIn_ = true;
  // Ordering a miniaturized window front brings it back from the Dock.
  if (miniaturized_) {
    miniaturized_ = false;
    post(NSWindowDidDeminiaturizeNotification, &NSWindowDelegate::windowDidDeminiaturize);
  }
}

void NSWindow::orderOut(const std::shared_ptr<NSObject>&) {
  assertMainThread();
  if (server_) server_->orderOut();
}

void NSWindow::serverDidOrderOut() {
  auto keepAlive = self<NSWindow>();
  orderedIn_ = false;
  resignKeyAndMain();
  NSApp()->passKeyAndMainOn();
}

bool NSWindow::isVisible() const {
  assertMainThread();
  return orderedIn_ && !miniaturized_;
}

bool NSWindow::isKeyWindow() const { return NSApp()->keyWindow().get() == this; }

bool NSWindow::isMainWindow() const { return NSApp()->mainWindow().get() == this; }

bool NSWindow::canBecomeKeyWindow() const { return (styleMask_ & NSWindowStyleMaskTitled) != 0; }

bool NSWindow::canBecomeMainWindow() const { return (styleMask_ & NSWindowStyleMaskTitled) != 0; }

void NSWindow::makeKeyWindow() {
  assertMainThread();
  if (!canBecomeKeyWindow() || !isVisible() || isKeyWindow()) return;
  auto application = NSApp();
  const auto previous = application->keyWindow();
  application->keyWindow_ = weakSelf<NSWindow>();
  if (previous) {
    previous->post(NSWindowDidResignKeyNotification, &NSWindowDelegate::windowDidResignKey);
    if (previous->server_) previous->server_->setNeedsDisplay();
  }
  if (server_) server_->makeKey();
  layoutTitlebar();
  post(NSWindowDidBecomeKeyNotification, &NSWindowDelegate::windowDidBecomeKey);
}

void NSWindow::makeMainWindow() {
  assertMainThread();
  if (!canBecomeMainWindow() || !isVisible() || isMainWindow()) return;
  auto application = NSApp();
  const auto previous = application->mainWindow();
  application->mainWindow_ = weakSelf<NSWindow>();
  if (previous)
    previous->post(NSWindowDidResignMainNotification, &NSWindowDelegate::windowDidResignMain);
  layoutTitlebar();
  post(NSWindowDidBecomeMainNotification, &NSWindowDelegate::windowDidBecomeMain);
}

void NSWindow::resignKeyAndMain() {
  auto application = NSApp();
  if (isKeyWindow()) {
    application->keyWindow_.reset();
    post(NSWindowDidResignKeyNotification, &NSWindowDelegate::windowDidResignKey);
    if (server_) server_->setNeedsDisplay();
  }
  if (isMainWindow()) {
    application->mainWindow_.reset();
    post(NSWindowDidResignMainNotification, &NSWindowDelegate::windowDidResignMain);
  }
}

void NSWindow::miniaturize(const std::shared_ptr<NSObject>&) {
  assertMainThread();
  if (miniaturized_) return;
  if (server_) server_->miniaturize();
}

void NSWindow::serverDidMiniaturize() {
  if (miniaturized_) return;
  auto keepAlive = self<NSWindow>();
  // The window goes to the Dock: ordered in, but not visible.
  miniaturized_ = true;
  orderedIn_ = true;
  resignKeyAndMain();
  post(NSWindowDidMiniaturizeNotification, &NSWindowDelegate::windowDidMiniaturize);
  NSApp()->passKeyAndMainOn();
}

void NSWindow::deminiaturize(const std::shared_ptr<NSObject>&) {
  assertMainThread();
  if (!miniaturized_) return;
  if (server_) server_->deminiaturize();
}

void NSWindow::serverDidDeminiaturize() {
  if (!miniaturized_) return;
  auto keepAlive = self<NSWindow>();
  miniaturized_ = false;
  orderedIn_ = true;
  NSApp()->moveWindowToFront(this);
  post(NSWindowDidDeminiaturizeNotification, &NSWindowDelegate::windowDidDeminiaturize);
  makeKeyWindow();
  makeMainWindow();
}

bool NSWindow::isMiniaturized() const {
  assertMainThread();
  return miniaturized_;
}

void NSWindow::performMiniaturize(const std::shared_ptr<NSObject>& sender) {
  assertMainThread();
  if ((styleMask_ & NSWindowStyleMaskMiniaturizable) == 0) return;
  miniaturize(sender);
}

void NSWindow::performClose(const std::shared_ptr<NSObject>&) {
  assertMainThread();
  // A window without a close button cannot be closed this way.
  if ((styleMask_ & NSWindowStyleMaskClosable) == 0) return;
  auto window = self<NSWindow>();
  if (auto delegate = this->delegate()) {
    if (!delegate->windowShouldClose(window)) return;
  }
  close();
}

void NSWindow::close() {
  assertMainThread();
  auto keepAlive = self<NSWindow>();
  auto application = NSApp();
  if (!application->windowWithWindowNumber(windowNumber_)) return;  // closed already
  post(NSWindowWillCloseNotification, &NSWindowDelegate::windowWillClose);
  orderedIn_ = false;
  miniaturized_ = false;
  resignKeyAndMain();
  application->removeWindow(this);
  if (server_) server_->close();
  application->passKeyAndMainOn();
  application->windowDidClose();
}

void NSWindow::serverDidFocus(bool focused) {
  auto keepAlive = self<NSWindow>();
  if (!focused) {
    resignKeyAndMain();
    return;
  }
  makeKeyWindow();
  makeMainWindow();
}
