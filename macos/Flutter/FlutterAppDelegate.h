#pragma once

#include "platform/AppKit/NSApplicationDelegate.h"
#include "platform/Foundation/NSObject.h"

// The application delegate of a Flutter application: once launching has finished, the
// engine is attached to its Dart side. The other delegate operations keep the platform's
// behaviour unless a subclass overrides them.
class FlutterAppDelegate : public NSObject, public NSApplicationDelegate {
 public:
  FlutterAppDelegate() = default;

  void applicationDidFinishLaunching(const NSNotification& notification) override;
};
