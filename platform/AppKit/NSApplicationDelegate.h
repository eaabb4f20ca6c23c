#pragma once

#include <memory>

#include "platform/AppKit/AppKitTypes.h"
#include "platform/dispatch/NSNotificationCenter.h"

class NSApplication;

// What the application asks and tells its delegate. Every operation is optional: unless
// overridden it does what the platform does for a delegate that does not implement it.
class NSApplicationDelegate {
 public:
  virtual ~NSApplicationDelegate() = default;

  virtual void applicationWillFinishLaunching(const NSNotification& /*notification*/) {}
  virtual void applicationDidFinishLaunching(const NSNotification& /*notification*/) {}
  virtual NSApplicationTerminateReply applicationShouldTerminate(
      const std::shared_ptr<NSApplication>& /*sender*/) {
    return NSTerminateNow;
  }
  virtual void applicationWillTerminate(const NSNotification& /*notification*/) {}
  // Asked when the last visible window has closed; YES ends the application.
  virtual bool applicationShouldTerminateAfterLastWindowClosed(
      const std::shared_ptr<NSApplication>& /*sender*/) {
    return false;
  }
  // Asked when the user reopens the running application (a click on its Dock icon).
  virtual bool applicationShouldHandleReopen(const std::shared_ptr<NSApplication>& /*sender*/,
                                             bool /*hasVisibleWindows*/) {
    return true;
  }
  virtual bool applicationSupportsSecureRestorableState(
      const std::shared_ptr<NSApplication>& /*app*/) {
    return false;
  }
};

inline const NSNotificationName NSApplicationWillFinishLaunchingNotification =
    "NSApplicationWillFinishLaunchingNotification";
inline const NSNotificationName NSApplicationDidFinishLaunchingNotification =
    "NSApplicationDidFinishLaunchingNotification";
inline const NSNotificationName NSApplicationWillTerminateNotification =
    "NSApplicationWillTerminateNotification";
