#include "macos/Runner/AppDelegate.h"

#include "macos/Runner/MainFlutterWindow.h"
#include "platform/AppKit/ClassRegistry.h"
#include "platform/AppKit/NSApplication.h"

namespace {
const platform::ClassRegistration<AppDelegate> registration("AppDelegate");
}  // namespace

bool AppDelegate::applicationShouldTerminateAfterLastWindowClosed(
    const std::shared_ptr<NSApplication>&) {
  return false;
}

bool AppDelegate::applicationShouldHandleReopen(const std::shared_ptr<NSApplication>&,
                                                bool hasVisibleWindows) {
  if (hasVisibleWindows) return true;
  for (const auto& window : NSApp()->windows()) {
    if (isKindOfClass<MainFlutterWindow>(window)) {
      window->makeKeyAndOrderFront(nullptr);
      break;
    }
  }
  return true;
}

bool AppDelegate::applicationSupportsSecureRestorableState(const std::shared_ptr<NSApplication>&) {
  return true;
}

AppDelegate::AppDelegate() : FlutterAppDelegate() {}
