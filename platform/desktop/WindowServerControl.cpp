#include "platform/desktop/WindowServerControl.h"

#include "platform/AppKit/NSApplication.h"
#include "platform/AppKit/NSWindow.h"
#include "platform/desktop/WindowPicture.h"
#include "platform/desktop/model/ModelScreens.h"
#include "platform/dispatch/MainThread.h"

namespace platform {

void WindowServerControl::windowDidSetFrame(NSWindow& window, NSRect frame) {
  assertMainThread();
  window.serverDidSetFrame(frame);
}

void WindowServerControl::windowDidOrderIn(NSWindow& window) {
  assertMainThread();
  window.serverDidOrderIn();
}

void WindowServerControl::windowDidOrderOut(NSWindow& window) {
  assertMainThread();
  window.serverDidOrderOut();
}

void WindowServerControl::windowDidMiniaturize(NSWindow& window) {
  assertMainThread();
  window.serverDidMiniaturize();
}

void WindowServerControl::windowDidDeminiaturize(NSWindow& window) {
  assertMainThread();
  window.serverDidDeminiaturize();
}

void WindowServerControl::windowDidFocus(NSWindow& window, bool focused) {
  assertMainThread();
  window.serverDidFocus(focused);
}

void WindowServerControl::windowDidChangeBackingProperties(NSWindow& window) {
  assertMainThread();
  window.serverDidChangeBackingProperties();
}

void WindowServerControl::viewDidChangeFrame(NSWindow& window) {
  if (window.server_) window.server_->setNeedsDisplay();
}

ServerWindow* WindowServerControl::serverWindow(NSWindow& window) { return window.server_.get(); }

std::optional<size_t> WindowServerControl::screenIndex(const NSWindow& window) {
  assertMainThread();
  return window.server_ ? window.server_->screenIndex() : std::nullopt;
}

const std::vector<NSInteger>& WindowServerControl::dragEventNumbers(const NSWindow& window) {
  assertMainThread();
  return window.dragEventNumbers_;
}

SheetSlot& WindowServerControl::sheets(NSWindow& window) { return window.sheets_; }

std::vector<uint8_t> WindowServerControl::snapshot(NSWindow& window) {
  assertMainThread();
  // Every desktop draws a window with the same picture; this draws it again off screen,
  // at the window's scale (the screen may not hold it yet, and a hidden window shows
  // nothing there).
  return renderWindowPicture(WindowPicture::of(window), window.backingScaleFactor());
}

void WindowServerControl::moveWindowToScreen(const std::shared_ptr<NSWindow>& window,
                                             size_t index) {
  windowServer().moveWindowToScreen(window, index);
}

void WindowServerControl::replaceScreens(const std::vector<ScreenDescription>& screens,
                                         std::optional<size_t> mainScreen) {
  windowServer().replaceScreens(screens, mainScreen);
}

bool WindowServerControl::hasVisibleWindows() { return NSApp()->hasVisibleWindows(); }

bool WindowServerControl::reopen() { return NSApp()->reopen(); }

std::shared_ptr<NSWindow> WindowServerControl::interfaceWindow() {
  return NSApp()->interfaceWindow();
}

void WindowServerControl::setInterfaceWindow(const std::shared_ptr<NSWindow>& window) {
  NSApp()->setInterfaceWindow(window);
}

void WindowServerControl::resetDesktopForTesting() {
  NSApp()->resetForTesting();
  resetScreens();
}

}  // namespace platform
