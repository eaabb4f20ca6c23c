#include "platform/desktop/model/ModelWindow.h"

#include <cmath>

#include "platform/AppKit/NSScreen.h"
#include "platform/AppKit/NSWindow.h"
#include "platform/desktop/WindowServerControl.h"

namespace platform {

namespace {

CGFloat overlapArea(const NSRect& a, const NSRect& b) {
  const CGFloat width =
      std::fmin(CGRectGetMaxX(a), CGRectGetMaxX(b)) - std::fmax(CGRectGetMinX(a), CGRectGetMinX(b));
  const CGFloat height =
      std::fmin(CGRectGetMaxY(a), CGRectGetMaxY(b)) - std::fmax(CGRectGetMinY(a), CGRectGetMinY(b));
  return width > 0 && height > 0 ? width * height : 0;
}

// The screen that shows the largest part of `frame`; the main screen when none does.
std::optional<size_t> screenIndexForFrame(NSRect frame) {
  const auto screens = NSScreen::screens();
  std::optional<size_t> best;
  CGFloat bestArea = 0;
  for (size_t index = 0; index < screens.size(); ++index) {
    const CGFloat area = overlapArea(frame, screens[index]->frame());
    if (area > bestArea) {
      bestArea = area;
      best = index;
    }
  }
  return best ? best : mainScreenIndex();
}

}  // namespace

ModelWindow::ModelWindow(NSWindow& window, NSRect frame)
    : window_(window), screenIndex_(screenIndexForFrame(frame)) {}

void ModelWindow::setFrame(NSRect frame) { WindowServerControl::windowDidSetFrame(window_, frame); }

void ModelWindow::orderFront() { WindowServerControl::windowDidOrderIn(window_); }

void ModelWindow::orderOut() { WindowServerControl::windowDidOrderOut(window_); }

void ModelWindow::miniaturize() { WindowServerControl::windowDidMiniaturize(window_); }

void ModelWindow::deminiaturize() { WindowServerControl::windowDidDeminiaturize(window_); }

void ModelWindow::zoom() {
  const auto screen = window_.screen();
  if (!screen) return;
  if (isZoomed()) {
    // Back to the frame the user had; a window that started zoomed has none to go to.
    if (userFrame_) setFrame(*userFrame_);
    return;
  }
  userFrame_ = window_.frame();
  setFrame(screen->visibleFrame());
}

bool ModelWindow::isZoomed() const {
  const auto screen = window_.screen();
  return screen && window_.frame() == screen->visibleFrame();
}

void ModelWindow::setFullScreen(bool fullScreen) {
  if (!fullScreen) {
    setFrame(frameBeforeFullScreen_.value_or(window_.frame()));
    frameBeforeFullScreen_.reset();
    return;
  }
  const auto screen = window_.screen();
  if (!screen) return;
  frameBeforeFullScreen_ = window_.frame();
  setFrame(screen->frame());
}

double ModelWindow::backingScaleFactor() const {
  const auto screen = window_.screen();
  return screen ? screen->backingScaleFactor() : 1.0;
}

}  // namespace platform
