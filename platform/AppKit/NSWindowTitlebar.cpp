// The title bar and its standard buttons.
#include "platform/AppKit/NSWindow.h"
#include "platform/dispatch/MainThread.h"

namespace {

// The style bit a window needs to have each standard button.
constexpr NSWindowStyleMask kButtonStyle[] = {
    NSWindowStyleMaskClosable,
    NSWindowStyleMaskMiniaturizable,
    NSWindowStyleMaskResizable,
};

}  // namespace

std::shared_ptr<NSButton> NSWindow::standardWindowButton(NSWindowButton kind) const {
  assertMainThread();
  return kind < buttons_.size() ? buttons_[kind] : nullptr;
}

void NSWindow::layoutTitlebar() {
  if ((styleMask_ & NSWindowStyleMaskTitled) == 0) {
    for (auto& button : buttons_) button.reset();
    titlebar_.reset();
    if (server_) server_->setNeedsDisplay();
    return;
  }
  if (!titlebar_) {
    titlebar_ = std::make_shared<NSTitlebarView>();
    titlebar_->setWindow(weakSelf<NSWindow>());
  }
  titlebar_->setFrame(NSMakeRect(0, frame_.size.height - NSTitlebarView::kHeight, frame_.size.width,
                                 NSTitlebarView::kHeight));
  const auto window = weakSelf<NSWindow>();
  for (unsigned kind = 0; kind < buttons_.size(); ++kind) {
    auto& button = buttons_[kind];
    const bool wanted = (styleMask_ & kButtonStyle[kind]) != 0;
    if (!wanted) {
      if (button) button->removeFromSuperview();
      button.reset();
      continue;
    }
    if (!button) {
      button = std::make_shared<NSButton>(NSRect{{}, NSTitlebarView::kButtonSize},
                                          [window, kind](const std::shared_ptr<NSObject>& sender) {
                                            const auto target = window.lock();
                                            if (!target) return;
                                            if (kind == NSWindowCloseButton)
                                              target->performClose(sender);
                                            if (kind == NSWindowMiniaturizeButton)
                                              target->performMiniaturize(sender);
                                            if (kind == NSWindowZoomButton)
                                              target->performZoom(sender);
                                          });
      titlebar_->addSubview(button);
    }
    // Laying the title bar out puts every button it holds back at its standard place; the
    // size stays.
    if (button->superview() != titlebar_) continue;
    button->setFrameOrigin(
        NSTitlebarView::standardButtonOrigin(kind, CGRectGetHeight(button->frame())));
  }
  if (server_) server_->setNeedsDisplay();
}
