#include <algorithm>
#include <stdexcept>

#include "macos/Flutter/engine/DesktopArguments.h"
#include "macos/Flutter/engine/DesktopControl.h"
#include "macos/Flutter/engine/DesktopWindowMap.h"
#include "platform/AppKit/NSApplication.h"
#include "platform/AppKit/NSPanel.h"
#include "platform/AppKit/NSWindow.h"
#include "platform/desktop/DialogWindows.h"
#include "platform/desktop/WindowServerControl.h"

namespace {

[[noreturn]] void fail(const std::string& what) { throw std::invalid_argument(what); }

FlutterMethodReply windows(const EncodableValue&) {
  EncodableList list;
  for (const auto& window : NSApp()->windows()) list.push_back(desktopWindowMap(window));
  for (const auto& dialog : platform::dialogWindows()) list.push_back(desktopDialogMap(dialog));
  return EncodableValue(list);
}

FlutterMethodReply clickWindowButton(const EncodableValue& value) {
  const DesktopArguments arguments(value);
  const auto window = desktopTargetWindow(arguments);
  const auto kind = arguments.integer("button");
  if (kind < 0 || kind > 2) fail("\"button\" must be 0 (close), 1 (miniaturize) or 2 (zoom)");
  const auto button = window->standardWindowButton(static_cast<NSWindowButton>(kind));
  if (!button) fail("the window has no button " + std::to_string(kind));
  button->performClick(nullptr);
  return EncodableValue();
}

FlutterMethodReply reopenApplication(const EncodableValue&) {
  return EncodableValue(platform::WindowServerControl::reopen());
}

FlutterMethodReply mouseDown(const EncodableValue& value) {
  const DesktopArguments arguments(value);
  const auto window = desktopTargetWindow(arguments);
  const auto location = arguments.numbers("location", 2);
  const auto event = NSEvent::mouseEventWithType(
      NSEventTypeLeftMouseDown, NSMakePoint(location[0], location[1]), window->windowNumber());
  NSApp()->sendEvent(event);
  return desktopInteger(event->eventNumber());
}

FlutterMethodReply resizeWindow(const EncodableValue& value) {
  const DesktopArguments arguments(value);
  const auto window = desktopTargetWindow(arguments);
  const auto size = arguments.numbers("size", 2);
  if (size[0] <= 0 || size[1] <= 0) fail("\"size\" must be positive");
  if ((window->styleMask() & NSWindowStyleMaskResizable) == 0 || window->isFullScreen())
    fail("the user cannot resize this window");
  // A user cannot make the window smaller than its minimum size; its top-left corner stays.
  const NSRect frame = window->frame();
  const NSSize minSize = window->minSize();
  NSRect resized = frame;
  resized.size = NSMakeSize(std::max(size[0], minSize.width), std::max(size[1], minSize.height));
  resized.origin.y = CGRectGetMaxY(frame) - resized.size.height;
  window->setFrame(resized, true);
  return EncodableValue();
}

FlutterMethodReply setFullScreen(const EncodableValue& value) {
  const DesktopArguments arguments(value);
  const auto window = desktopTargetWindow(arguments);
  const bool on = arguments.boolean("on");
  if (window->isFullScreen() != on) window->toggleFullScreen(nullptr);
  if (window->isFullScreen() != on) fail("this window cannot enter full screen");
  return EncodableValue();
}

FlutterMethodReply makeKeyWindow(const EncodableValue& value) {
  const DesktopArguments arguments(value);
  const auto window = desktopTargetWindow(arguments);
  if (!window->isVisible()) fail("the window is not visible");
  window->makeKeyWindow();
  window->makeMainWindow();
  return EncodableValue();
}

FlutterMethodReply openWindow(const EncodableValue& value) {
  const DesktopArguments arguments(value);
  const std::string windowClass = arguments.string("class");
  std::shared_ptr<NSWindow> window;
  NSWindowStyleMask style = NSWindowStyleMaskTitled | NSWindowStyleMaskClosable;
  if (windowClass == "NSWindow") {
    window = std::make_shared<NSWindow>();
    style |= NSWindowStyleMaskMiniaturizable | NSWindowStyleMaskResizable;
  } else if (windowClass == "NSPanel") {
    window = std::make_shared<NSPanel>();
    style |= NSWindowStyleMaskUtilityWindow;
  } else {
    fail("\"class\" must be \"NSWindow\" or \"NSPanel\"");
  }
  const std::string title = arguments.optionalString("title").value_or("");
  const bool visible = arguments.optionalBoolean("visible").value_or(true);
  window->initWithContentRect(NSMakeRect(0, 0, 480, 270), style, NSBackingStoreBuffered, false);
  window->setTitle(title);
  window->center();
  if (visible) window->orderFront(nullptr);
  return desktopInteger(window->windowNumber());
}

// The window as drawn, title band included, as PNG bytes.
FlutterMethodReply snapshot(const EncodableValue& value) {
  const DesktopArguments arguments(value);
  std::optional<std::vector<uint8_t>> dialogPicture;
  if (const auto id = arguments.optionalInteger("window"))
    dialogPicture = platform::dialogSnapshot(*id);
  auto picture = dialogPicture
                     ? std::move(*dialogPicture)
                     : platform::WindowServerControl::snapshot(*desktopTargetWindow(arguments));
  if (picture.empty()) fail("the window cannot be drawn at its size");
  return EncodableValue(std::move(picture));
}

FlutterMethodReply quit(const EncodableValue&) {
  NSApp()->terminate(nullptr);
  return EncodableValue();
}

}  // namespace

void addDesktopWindowMethods(DesktopControl& control) {
  control.addMethod("windows", windows);
  control.addMethod("clickWindowButton", clickWindowButton);
  control.addMethod("reopenApplication", reopenApplication);
  control.addMethod("mouseDown", mouseDown);
  control.addMethod("resizeWindow", resizeWindow);
  control.addMethod("setFullScreen", setFullScreen);
  control.addMethod("makeKeyWindow", makeKeyWindow);
  control.addMethod("openWindow", openWindow);
  control.addMethod("snapshot", snapshot);
  control.addMethod("quit", quit);
}
