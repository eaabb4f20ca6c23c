// The window server's screens as the desktop control offers them: list them, replace
// them, move a window to another one, and announce a backing-properties change.

#include <stdexcept>

#include "macos/Flutter/engine/DesktopArguments.h"
#include "macos/Flutter/engine/DesktopControl.h"
#include "macos/Flutter/engine/DesktopWindowMap.h"
#include "platform/AppKit/NSScreen.h"
#include "platform/AppKit/NSWindow.h"
#include "platform/desktop/WindowServerControl.h"
#include "platform/machine/MachineProfile.h"

namespace {

[[noreturn]] void fail(const std::string& what) { throw std::invalid_argument(what); }

// An index into a list of `count`.
size_t index(int64_t value, size_t count, const char* what) {
  if (value < 0 || static_cast<uint64_t>(value) >= count) {
    fail(std::string("no ") + what + " has the index " + std::to_string(value));
  }
  return static_cast<size_t>(value);
}

platform::ScreenDescription screenDescription(const EncodableValue& value) {
  if (value.map() == nullptr) fail("each screen must be a map");
  const DesktopArguments screen(value);
  const auto frame = screen.numbers("frame", 4);
  platform::ScreenDescription description;
  description.x = frame[0];
  description.y = frame[1];
  description.width = frame[2];
  description.height = frame[3];
  description.backingScaleFactor = screen.number("backingScaleFactor");
  if (!platform::isPossibleBackingScaleFactor(description.backingScaleFactor))
    fail("\"backingScaleFactor\" must be above 0 and at most 16");
  return description;
}

FlutterMethodReply screens(const EncodableValue&) {
  EncodableList list;
  for (const auto& screen : NSScreen::screens()) {
    const NSRect frame = screen->frame();
    list.push_back(EncodableMap{{"frame", EncodableList{frame.origin.x, frame.origin.y,
                                                        frame.size.width, frame.size.height}},
                                {"backingScaleFactor", screen->backingScaleFactor()}});
  }
  const auto main = platform::mainScreenIndex();
  return EncodableValue(EncodableMap{
      {"screens", std::move(list)},
      {"mainScreen", main ? desktopInteger(static_cast<int64_t>(*main)) : EncodableValue()}});
}

FlutterMethodReply setScreens(const EncodableValue& value) {
  const DesktopArguments arguments(value);
  std::vector<platform::ScreenDescription> descriptions;
  for (const auto& screen : arguments.list("screens")) {
    descriptions.push_back(screenDescription(screen));
  }
  // Null or left out: no main screen.
  std::optional<size_t> main;
  if (const auto named = arguments.optionalInteger("mainScreen")) {
    main = index(*named, descriptions.size(), "screen");
  }
  platform::WindowServerControl::replaceScreens(descriptions, main);
  return EncodableValue();
}

FlutterMethodReply moveWindowToScreen(const EncodableValue& value) {
  const DesktopArguments arguments(value);
  const auto window = desktopTargetWindow(arguments);
  platform::WindowServerControl::moveWindowToScreen(
      window, index(arguments.integer("screen"), NSScreen::screens().size(), "screen"));
  return EncodableValue();
}

FlutterMethodReply changeBackingProperties(const EncodableValue& value) {
  platform::WindowServerControl::windowDidChangeBackingProperties(
      *desktopTargetWindow(DesktopArguments(value)));
  return EncodableValue();
}

}  // namespace

void addDesktopScreenMethods(DesktopControl& control) {
  control.addMethod("screens", screens);
  control.addMethod("setScreens", setScreens);
  control.addMethod("moveWindowToScreen", moveWindowToScreen);
  control.addMethod("changeBackingProperties", changeBackingProperties);
}
