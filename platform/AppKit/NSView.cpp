#include "platform/AppKit/NSView.h"

#include <algorithm>

#include "platform/desktop/WindowServerControl.h"

void NSView::addSubview(const std::shared_ptr<NSView>& view) {
  view->removeFromSuperview();
  view->superview_ = self<NSView>();
  subviews_.push_back(view);
}

void NSView::removeFromSuperview() {
  if (auto parent = superview_.lock()) {
    std::erase(parent->subviews_, self<NSView>());
  }
  superview_.reset();
}

std::shared_ptr<NSWindow> NSView::window() const {
  if (auto window = window_.lock()) return window;
  if (auto parent = superview_.lock()) return parent->window();
  return nullptr;
}

void NSView::setFrame(CGRect frame) {
  frame_ = frame;
  frameDidChange();
}

void NSView::setFrameOrigin(CGPoint origin) {
  frame_.origin = origin;
  frameDidChange();
}

void NSView::setFrameSize(CGSize size) {
  frame_.size = size;
  frameDidChange();
}

void NSView::frameDidChange() {
  if (auto window = this->window()) platform::WindowServerControl::viewDidChangeFrame(*window);
}
