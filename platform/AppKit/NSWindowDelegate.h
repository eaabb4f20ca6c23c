#pragma once

#include <memory>

#include "platform/dispatch/NSNotificationCenter.h"

class NSWindow;

// What a window tells its delegate. Every operation is optional: unless overridden it
// does what the platform does for a delegate that does not implement it.
class NSWindowDelegate {
 public:
  virtual ~NSWindowDelegate() = default;

  // Asked by performClose: before the window closes; NO keeps it open.
  virtual bool windowShouldClose(const std::shared_ptr<NSWindow>& /*sender*/) { return true; }
  virtual void windowWillClose(const NSNotification& /*notification*/) {}
  virtual void windowDidResize(const NSNotification& /*notification*/) {}
  virtual void windowDidMove(const NSNotification& /*notification*/) {}
  virtual void windowDidBecomeKey(const NSNotification& /*notification*/) {}
  virtual void windowDidResignKey(const NSNotification& /*notification*/) {}
  virtual void windowDidBecomeMain(const NSNotification& /*notification*/) {}
  virtual void windowDidResignMain(const NSNotification& /*notification*/) {}
  virtual void windowDidMiniaturize(const NSNotification& /*notification*/) {}
  virtual void windowDidDeminiaturize(const NSNotification& /*notification*/) {}
  virtual void windowWillEnterFullScreen(const NSNotification& /*notification*/) {}
  virtual void windowDidEnterFullScreen(const NSNotification& /*notification*/) {}
  virtual void windowWillExitFullScreen(const NSNotification& /*notification*/) {}
  virtual void windowDidExitFullScreen(const NSNotification& /*notification*/) {}
  virtual void windowDidChangeBackingProperties(const NSNotification& /*notification*/) {}
};

// The notifications a window posts, with itself as the object.
inline const NSNotificationName NSWindowWillCloseNotification = "NSWindowWillCloseNotification";
inline const NSNotificationName NSWindowDidResizeNotification = "NSWindowDidResizeNotification";
inline const NSNotificationName NSWindowDidMoveNotification = "NSWindowDidMoveNotification";
inline const NSNotificationName NSWindowDidBecomeKeyNotification =
    "NSWindowDidBecomeKeyNotification";
inline const NSNotificationName NSWindowDidResignKeyNotification =
    "NSWindowDidResignKeyNotification";
inline const NSNotificationName NSWindowDidBecomeMainNotification =
    "NSWindowDidBecomeMainNotification";
inline const NSNotificationName NSWindowDidResignMainNotification =
    "NSWindowDidResignMainNotification";
inline const NSNotificationName NSWindowDidMiniaturizeNotification =
    "NSWindowDidMiniaturizeNotification";
inline const NSNotificationName NSWindowDidDeminiaturizeNotification =
    "NSWindowDidDeminiaturizeNotification";
inline const NSNotificationName NSWindowWillEnterFullScreenNotification =
    "NSWindowWillEnterFullScreenNotification";
inline const NSNotificationName NSWindowDidEnterFullScreenNotification =
    "NSWindowDidEnterFullScreenNotification";
inline const NSNotificationName NSWindowWillExitFullScreenNotification =
    "NSWindowWillExitFullScreenNotification";
inline const NSNotificationName NSWindowDidExitFullScreenNotification =
    "NSWindowDidExitFullScreenNotification";
inline const NSNotificationName NSWindowDidChangeBackingPropertiesNotification =
    "NSWindowDidChangeBackingPropertiesNotification";
