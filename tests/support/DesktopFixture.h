#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/AppKit/NSApplication.h"
#include "platform/AppKit/NSWindow.h"
#include "platform/desktop/WindowServerControl.h"
#include "platform/dispatch/DispatchQueue.h"
#include "platform/dispatch/NSNotificationCenter.h"
#include "platform/dispatch/RunLoop.h"

inline constexpr NSWindowStyleMask kStandardWindowStyle =
    NSWindowStyleMaskTitled | NSWindowStyleMaskClosable | NSWindowStyleMaskMiniaturizable |
    NSWindowStyleMaskResizable;

// Each test starts on an empty desktop (the profile's screens, no windows) with an empty
// main queue, and leaves it so.
class DesktopTest : public ::testing::Test {
 protected:
  void SetUp() override { reset(); }
  void TearDown() override { reset(); }

  static void reset() {
    platform::RunLoop::main().runUntilIdle();
    platform::WindowServerControl::resetDesktopForTesting();
  }

  // Whether the main run loop has been told to stop: NSApp()->run() then returns before
  // running anything queued. (If it has not, a probe queued here stops it.)
  static bool applicationRunReturnsAtOnce() {
    auto armed = std::make_shared<bool>(true);
    auto ran = std::make_shared<bool>(false);
    platform::mainQueue().async([armed, ran] {
      if (!*armed) return;
      *ran = true;
      platform::RunLoop::main().stop();
    });
    NSApp()->run();
    *armed = false;
    return !*ran;
  }

  template <typename Window = NSWindow>
  static std::shared_ptr<Window> makeWindow(NSRect contentRect = NSMakeRect(100, 100, 800, 600),
                                            NSWindowStyleMask style = kStandardWindowStyle) {
    auto window = std::make_shared<Window>();
    window->initWithContentRect(contentRect, style, NSBackingStoreBuffered, false);
    return window;
  }

  template <typename Window = NSWindow>
  static std::shared_ptr<Window> makeVisibleWindow(NSRect contentRect = NSMakeRect(100, 100, 800,
                                                                                   600),
                                                   NSWindowStyleMask style = kStandardWindowStyle) {
    auto window = makeWindow<Window>(contentRect, style);
    window->makeKeyAndOrderFront(nullptr);
    return window;
  }
};

// Records the names of the notifications posted with one object, while it lives.
class NotificationRecorder {
 public:
  NotificationRecorder(const std::vector<std::string>& names,
                       const std::shared_ptr<NSObject>& object) {
    auto center = NSNotificationCenter::defaultCenter();
    for (const auto& name : names) {
      tokens_.push_back(center->addObserverForName(
          name, object, nullptr,
          [this](const NSNotification& notification) { posted_.push_back(notification.name); }));
    }
  }
  ~NotificationRecorder() {
    for (const auto& token : tokens_) NSNotificationCenter::defaultCenter()->removeObserver(token);
  }
  NotificationRecorder(const NotificationRecorder&) = delete;
  NotificationRecorder& operator=(const NotificationRecorder&) = delete;

  const std::vector<std::string>& posted() const { return posted_; }
  void clear() { posted_.clear(); }

 private:
  std::vector<std::shared_ptr<NSObject>> tokens_;
  std::vector<std::string> posted_;
};
