#include "macos/Flutter/FlutterAppDelegate.h"

#include "macos/Flutter/engine/EngineTransport.h"
#include "platform/dispatch/MainThread.h"

void FlutterAppDelegate::applicationDidFinishLaunching(const NSNotification&) {
  assertMainThread();
  startEngineTransportFromEnvironment();
}
