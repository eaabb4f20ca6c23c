#include "platform/AppKit/NSWindow.h"

#include <cmath>

#include "platform/AppKit/NSApplication.h"
#include "platform/desktop/DialogWindows.h"
#include "platform/dispatch/MainThread.h"

std::shared_ptr<NSWindow> NSWindow::initWithContentRect(NSRect contentRect, NSWindowStyleMask style,
                                                        NSBackingStoreType backing, bool) {
  assertMainThread();
  TOLVEK_DCHECK(windowNumber_ == 0, "a window is initialised once");
  windowNumber_ = platform::nextWindowNumber();
  styleMask_ = style;
  backing_ = backing;
  frame_ = frameRectForContentRect(contentRect);
  server_ = platform::windowServer().createWindow(*this, frame_);
  setContentView(std::make_shared<NSView>());
  layoutTitlebar();
  NSApp()->insertWindow(self<NSWindow>());
  return self<NSWindow>();
}

NSRect NSWindow::frame() const {
  assertMainThread();
  return frame_;
}

void NSWindow::setFrame(NSRect frame, bool) {
  assertMainThread();
  if (server_) server_->setFrame(frame);
}

void NSWindow::serverDidSetFrame(NSRect frame) {
  const bool moved = frame.origin != frame_.origin;
  const bool resized = frame.size != frame_.size;
  frame_ = frame;
  layoutContentView();
  if (resized) layoutTitlebar();
  if (moved) post(NSWindowDidMoveNotification, &NSWindowDelegate::windowDidMove);
  if (resized) post(NSWindowDidResizeNotification, &NSWindowDelegate::windowDidResize);
}

void NSWindow::setContentSize(NSSize size) {
  assertMainThread();
  NSRect frame = frameRectForContentRect(NSRect{frame_.origin, size});
  frame.origin.y = CGRectGetMaxY(frame_) - CGRectGetHeight(frame);
  setFrame(frame, true);
}

bool NSWindow::hasTitlebarAboveContent() const {
  return (styleMask_ & NSWindowStyleMaskTitled) != 0 &&
         (styleMask_ & (NSWindowStyleMaskFullSizeContentView | NSWindowStyleMaskFullScreen)) == 0;
}

NSRect NSWindow::frameRectForContentRect(NSRect contentRect) const {
  if (hasTitlebarAboveContent()) contentRect.size.height += NSTitlebarView::kHeight;
  return contentRect;
}

NSRect NSWindow::contentRectForFrameRect(NSRect frame) const {
  if (hasTitlebarAboveContent()) frame.size.height -= NSTitlebarView::kHeight;
  return frame;
}

NSSize NSWindow::minSize() const {
  assertMainThread();
  return minSize_;
}

void NSWindow::setMinSize(NSSize size) {
  assertMainThread();
  minSize_ = size;
  if (server_) server_->setMinSize(size);
}

void NSWindow::center() {
  assertMainThread();
  const auto screen = this->screen();
  if (!screen) return;
  const NSRect visible = screen->visibleFrame();
  NSRect frame = frame_;
  frame.origin.x = std::round(visible.origin.x + (visible.size.width - CGRectGetWidth(frame)) / 2);
  // A third of the free height above the window, two thirds below; a window taller than
  // the visible frame keeps its top edge at the visible frame's top.
  const CGFloat freeHeight = visible.size.height - CGRectGetHeight(frame);
  frame.origin.y =
      std::round(visible.origin.y + (freeHeight > 0 ? freeHeight * 2 / 3 : freeHeight));
  setFrame(frame, true);
}

NSWindowStyleMask NSWindow::styleMask() const {
  assertMainThread();
  return styleMask_;
}

void NSWindow::setStyleMask(NSWindowStyleMask styleMask) {
  assertMainThread();
  styleMask_ = styleMask;
  layoutContentView();
  layoutTitlebar();
}

NSWindowTitleVisibility NSWindow::titleVisibility() const {
  assertMainThread();
  return titleVisibility_;
}

void NSWindow::setTitleVisibility(NSWindowTitleVisibility visibility) {
  assertMainThread();
  titleVisibility_ = visibility;
}

bool NSWindow::titlebarAppearsTransparent() const {
  assertMainThread();
  return titlebarAppearsTransparent_;
}

void NSWindow::setTitlebarAppearsTransparent(bool transparent) {
  assertMainThread();
  titlebarAppearsTransparent_ = transparent;
}

bool NSWindow::isMovableByWindowBackground() const {
  assertMainThread();
  return movableByWindowBackground_;
}

void NSWindow::setMovableByWindowBackground(bool movable) {
  assertMainThread();
  movableByWindowBackground_ = movable;
}

std::shared_ptr<NSToolbar> NSWindow::toolbar() const {
  assertMainThread();
  return toolbar_;
}

void NSWindow::setToolbar(std::shared_ptr<NSToolbar> toolbar) {
  assertMainThread();
  toolbar_ = std::move(toolbar);
}

std::string NSWindow::title() const {
  assertMainThread();
  return title_;
}

void NSWindow::setTitle(const std::string& title) {
  assertMainThread();
  title_ = title;
  if (server_) server_->setTitle(title);
}

std::shared_ptr<NSView> NSWindow::contentView() const {
  assertMainThread();
  return contentView_;
}

void NSWindow::setContentView(const std::shared_ptr<NSView>& view) {
  assertMainThread();
  if (contentView_) contentView_->setWindow({});
  contentView_ = view;
  if (contentView_) {
    contentView_->removeFromSuperview();
    contentView_->setWindow(weakSelf<NSWindow>());
  }
  layoutContentView();
}

std::shared_ptr<NSViewController> NSWindow::contentViewController() const {
  assertMainThread();
  return contentViewController_;
}

void NSWindow::setContentViewController(const std::shared_ptr<NSViewController>& controller) {
  assertMainThread();
  contentViewController_ = controller;
  if (!controller) {
    setContentView(std::make_shared<NSView>());
    return;
  }
  const auto view = controller->view();
  const NSSize viewSize = view->frame().size;
  setContentView(view);
  // The window takes the size of its new content.
  setContentSize(viewSize);
}

void NSWindow::layoutContentView() {
  if (!contentView_) return;
  const NSRect content = contentRectForFrameRect(frame_);
  contentView_->setFrame(NSMakeRect(0, 0, content.size.width, content.size.height));
}

std::shared_ptr<NSWindowDelegate> NSWindow::delegate() const {
  assertMainThread();
  return delegate_.lock();
}

void NSWindow::setDelegate(const std::shared_ptr<NSWindowDelegate>& delegate) {
  assertMainThread();
  delegate_ = delegate;
}

void NSWindow::performWindowDragWithEvent(const std::shared_ptr<NSEvent>& event) {
  assertMainThread();
  if (!event) return;
  dragEventNumbers_.push_back(event->eventNumber());
  if (server_) server_->performDrag(*event);
}

std::shared_ptr<NSScreen> NSWindow::screen() const {
  assertMainThread();
  const auto index = server_ ? server_->screenIndex() : std::nullopt;
  const auto screens = NSScreen::screens();
  return index && *index < screens.size() ? screens[*index] : nullptr;
}

CGFloat NSWindow::backingScaleFactor() const {
  assertMainThread();
  return server_ ? server_->backingScaleFactor() : 1.0;
}

void NSWindow::serverDidChangeBackingProperties() {
  post(NSWindowDidChangeBackingPropertiesNotification,
       &NSWindowDelegate::windowDidChangeBackingProperties);
}

void NSWindow::sendEvent(const std::shared_ptr<NSEvent>& event) {
  assertMainThread();
  // A click brings a window forward and makes it key, as the window server does.
  if (event->type() == NSEventTypeLeftMouseDown && isVisible() && !isKeyWindow())
    makeKeyAndOrderFront(nullptr);
}

void NSWindow::post(const NSNotificationName& name, DelegateCallback callback) {
  auto window = self<NSWindow>();
  const NSNotification notification{name, window};
  if (auto delegate = delegate_.lock()) ((*delegate).*callback)(notification);
  NSNotificationCenter::defaultCenter()->postNotificationName(name, window);
}
