#pragma once

#include <memory>

#include "platform/AppKit/AppKitTypes.h"
#include "platform/CoreGraphics/CGGeometry.h"
#include "platform/Foundation/NSObject.h"

class NSWindow;

enum NSEventType : NSUInteger {
  NSEventTypeLeftMouseDown = 1,
  NSEventTypeLeftMouseUp = 2,
  NSEventTypeRightMouseDown = 3,
  NSEventTypeRightMouseUp = 4,
  NSEventTypeMouseMoved = 5,
  NSEventTypeLeftMouseDragged = 6,
  NSEventTypeKeyDown = 10,
  NSEventTypeKeyUp = 11,
};

// An input event the window server hands the application. Each event carries a number
// unique in the process, by which the desktop model reports what it was used for.
class NSEvent : public NSObject {
 public:
  // A mouse event at `location` in the coordinates of the window numbered
  // `windowNumber` (0: no window).
  static std::shared_ptr<NSEvent> mouseEventWithType(NSEventType type, NSPoint location,
                                                     NSInteger windowNumber);

  NSEvent(NSEventType type, NSPoint location, NSInteger windowNumber, NSInteger eventNumber);

  NSEventType type() const { return type_; }
  NSPoint locationInWindow() const { return location_; }
  NSInteger windowNumber() const { return windowNumber_; }
  NSInteger eventNumber() const { return eventNumber_; }
  // The window the event belongs to, when it is still in the application's window list.
  std::shared_ptr<NSWindow> window() const;

 private:
  NSEventType type_;
  NSPoint location_;
  NSInteger windowNumber_;
  NSInteger eventNumber_;
};
