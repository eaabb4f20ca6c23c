#pragma once

#include <memory>

#include "macos/Flutter/FlutterAppDelegate.h"

// The application's delegate: the application outlives its window, and reopening it
// brings the main window back.
class AppDelegate : public FlutterAppDelegate {
 public:
  bool applicationShouldTerminateAfterLastWindowClosed(
      const std::shared_ptr<NSApplication>& sender) override;
  bool applicationShouldHandleReopen(const std::shared_ptr<NSApplication>& sender,
                                     bool hasVisibleWindows) override;
  bool applicationSupportsSecureRestorableState(const std::shared_ptr<NSApplication>& app) override;
  AppDelegate();
};
