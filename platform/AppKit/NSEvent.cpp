#include "platform/AppKit/NSEvent.h"

#include <atomic>

#include "platform/AppKit/NSApplication.h"

std::shared_ptr<NSEvent> NSEvent::mouseEventWithType(NSEventType type, NSPoint location,
                                                     NSInteger windowNumber) {
  static std::atomic<NSInteger> lastEventNumber{0};
  return std::make_shared<NSEvent>(type, location, windowNumber, ++lastEventNumber);
}

NSEvent::NSEvent(NSEventType type, NSPoint location, NSInteger windowNumber, NSInteger eventNumber)
    : type_(type), location_(location), windowNumber_(windowNumber), eventNumber_(eventNumber) {}

std::shared_ptr<NSWindow> NSEvent::window() const {
  return windowNumber_ == 0 ? nullptr : NSApp()->windowWithWindowNumber(windowNumber_);
}
