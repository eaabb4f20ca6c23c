#pragma once

#include <memory>
#include <vector>

#include "platform/CoreGraphics/CGGeometry.h"
#include "platform/Foundation/NSObject.h"

class NSWindow;

// A view of the desktop model: a frame in its superview's coordinates (y upward), its
// superview and subviews, and the window it is in. Views hold their superview and
// window weakly and their subviews strongly.
class NSView : public NSObject {
 public:
  NSView() = default;
  explicit NSView(CGRect frame) : frame_(frame) {}

  CGRect frame() const { return frame_; }
  // A view that moves or changes size has its window drawn again.
  void setFrame(CGRect frame);
  void setFrameOrigin(CGPoint origin);
  void setFrameSize(CGSize size);

  std::shared_ptr<NSView> superview() const { return superview_.lock(); }
  const std::vector<std::shared_ptr<NSView>>& subviews() const { return subviews_; }
  void addSubview(const std::shared_ptr<NSView>& view);
  void removeFromSuperview();

  // The window the view is in: its own, or its superview's.
  std::shared_ptr<NSWindow> window() const;
  // Set by the window whose content view this is.
  void setWindow(const std::weak_ptr<NSWindow>& window) { window_ = window; }

 private:
  void frameDidChange();

  CGRect frame_{};
  std::weak_ptr<NSView> superview_;
  std::vector<std::shared_ptr<NSView>> subviews_;
  std::weak_ptr<NSWindow> window_;
};
