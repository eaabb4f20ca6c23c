#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "platform/AppKit/NSApplication.h"
#include "platform/AppKit/NSScreen.h"
#include "platform/AppKit/NSWindow.h"
#include "platform/dispatch/DispatchQueue.h"
#include "platform/dispatch/NSNotificationCenter.h"
#include "platform/machine/MachineProfile.h"

namespace scale_testing {

// Each test starts on the standard desktop: one 1440 x 900 screen of factor 2.0.
class DesktopTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::MachineProfile::setCurrentForTesting({});
    platform::resetDesktopForTesting();
  }
  void TearDown() override {
    platform::mainQueue().drain();
    platform::resetDesktopForTesting();
  }
};

// A 1440 x 900 screen whose left edge is at `x`.
inline platform::ScreenDescription screen(double x, double factor) {
  platform::ScreenDescription description;
  description.x = x;
  description.width = 1440;
  description.height = 900;
  description.backingScaleFactor = factor;
  return description;
}

// A titled window with exactly this frame, on the screen that shows it.
inline std::shared_ptr<NSWindow> openWindow(NSRect frame) {
  auto window = std::make_shared<NSWindow>();
  window->initWithContentRect(frame,
                              NSWindowStyleMaskTitled | NSWindowStyleMaskClosable |
                                  NSWindowStyleMaskMiniaturizable | NSWindowStyleMaskResizable,
                              NSBackingStoreBuffered, false);
  window->setFrame(frame, true);
  return window;
}

// Counts a window's backing-properties notifications.
class BackingChanges {
 public:
  explicit BackingChanges(const std::shared_ptr<NSWindow>& window)
      : token_(NSNotificationCenter::defaultCenter()->addObserverForName(
            NSWindowDidChangeBackingPropertiesNotification, window, nullptr,
            [count = count_](const NSNotification&) { ++*count; })) {}
  ~BackingChanges() { NSNotificationCenter::defaultCenter()->removeObserver(token_); }
  BackingChanges(const BackingChanges&) = delete;
  BackingChanges& operator=(const BackingChanges&) = delete;

  int count() const { return *count_; }

 private:
  std::shared_ptr<int> count_ = std::make_shared<int>(0);
  std::shared_ptr<NSObject> token_;
};

}  // namespace scale_testing
