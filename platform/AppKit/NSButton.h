#pragma once

#include <functional>
#include <memory>

#include "platform/AppKit/NSView.h"

// A push button: a view that sends its action when clicked.
class NSButton : public NSView {
 public:
  using Action = std::function<void(const std::shared_ptr<NSObject>& sender)>;

  NSButton() = default;
  NSButton(CGRect frame, Action action) : NSView(frame), action_(std::move(action)) {}

  void setAction(Action action) { action_ = std::move(action); }
  bool isEnabled() const { return enabled_; }
  void setEnabled(bool enabled) { enabled_ = enabled; }

  // Acts as a user's click does: an enabled button sends its action, with itself as the
  // sender. Main thread only.
  void performClick(const std::shared_ptr<NSObject>& sender);

 private:
  Action action_;
  bool enabled_ = true;
};
