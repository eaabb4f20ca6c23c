#include "platform/AppKit/NSButton.h"

#include "platform/dispatch/MainThread.h"

void NSButton::performClick(const std::shared_ptr<NSObject>&) {
  assertMainThread();
  if (!enabled_ || !action_) return;
  // The action may release the window that holds this button; keep the button alive.
  auto button = self<NSButton>();
  auto action = action_;
  action(button);
}
