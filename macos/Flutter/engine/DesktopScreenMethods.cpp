// The window server's screens as the desktop control offers them: list them, replace
// them, move a window to another one, and announce a backing-properties change.

#include <cmath>
#include <stdexcept>

#include "macos/Flutter/engine/DesktopControl.h"
#include "platform/AppKit/DesktopScreens.h"
#include "platform/AppKit/NSApplication.h"
#include "platform/AppKit/NSScreen.h"
#include "platform/AppKit/NSWindow.h"

namespace {

using platform::ScreenDescription;

const EncodableMap& argumentMap(const EncodableValue& arguments) {
  static const EncodableMap none;
  if (arguments.isNull()) return none;
  if (const auto* map = arguments.map()) return *map;
  throw std::invalid_argument("arguments must be a map");
}

double number(const EncodableValue& value, const char* what) {
  if (const auto* real = value.float64()) return *real;
  if (const auto integer = value.integer()) return static_cast<double>(*integer);
  throw std::invalid_argument(std::string(what) + " must be a number");
}

// An index below `count`.
size_t index(const EncodableValue& value, size_t count, const char* what) {
  const auto integer = value.integer();
  if (!integer || *integer < 0 || static_cast<uint64_t>(*integer) >= count) {
    throw std::invalid_argument(std::string("no such ") + what);
  }
  return static_cast<size_t>(*integer);
}

// The window named by "window", or the main window when the key is left out.
std::shared_ptr<NSWindow> namedWindow(const EncodableMap& arguments) {
  const auto* id = arguments.find("window");
  std::shared_ptr<NSWindow> window;
  if (id == nullptr || id->isNull()) {
    window = NSApp()->interfaceWindow();
  } else if (const auto number = id->integer()) {
    window = NSApp()->windowWithWindowNumber(static_cast<NSInteger>(*number));
  }
  if (!window) throw std::invalid_argument("no such window");
  return window;
}

EncodableValue frameValue(const NSRect& frame) {
  return EncodableList{frame.origin.x, frame.origin.y, frame.size.width, frame.size.height};
}

ScreenDescription screenDescription(const EncodableValue& value) {
  const auto* map = value.map();
  if (map == nullptr) throw std::invalid_argument("a screen must be a map");
  const auto* frame = map->find("frame");
  const auto* factor = map->find("backingScaleFactor");
  if (frame == nullptr || frame->list() == nullptr || frame->list()->size() != 4) {
    throw std::invalid_argument("a screen's frame must be [x, y, width, height]");
  }
  ScreenDescription screen;
  const auto& rect = *frame->list();
  screen.x = number(rect[0], "frame");
  screen.y = number(rect[1], "frame");
  screen.width = number(rect[2], "frame");
  screen.height = number(rect[3], "frame");
  if (factor == nullptr) throw std::invalid_argument("a screen needs a backingScaleFactor");
  screen.backingScaleFactor = number(*factor, "backingScaleFactor");
  // No display has a density that is not a positive finite number.
  if (!std::isfinite(screen.backingScaleFactor) || screen.backingScaleFactor <= 0) {
    throw std::invalid_argument("backingScaleFactor must be a positive number");
  }
  for (const double coordinate : {screen.x, screen.y, screen.width, screen.height}) {
    if (!std::isfinite(coordinate)) throw std::invalid_argument("frame must be finite");
  }
  return screen;
}

EncodableValue screens(const EncodableValue&) {
  EncodableList list;
  for (const auto& screen : NSScreen::screens()) {
    list.push_back(EncodableMap{{"frame", frameValue(screen->frame())},
                                {"backingScaleFactor", screen->backingScaleFactor()}});
  }
  const auto main = platform::mainScreenIndex();
  return EncodableMap{
      {"screens", std::move(list)},
      {"mainScreen", main ? EncodableValue(static_cast<int64_t>(*main)) : EncodableValue()}};
}

EncodableValue setScreens(const EncodableValue& value) {
  const auto& arguments = argumentMap(value);
  const auto* list = arguments.find("screens");
  if (list == nullptr || list->list() == nullptr) {
    throw std::invalid_argument("screens must be a list");
  }
  std::vector<ScreenDescription> descriptions;
  for (const auto& screen : *list->list()) descriptions.push_back(screenDescription(screen));
  // Left out, the main screen is the first one, as in a machine profile.
  std::optional<size_t> main = descriptions.empty() ? std::nullopt : std::optional<size_t>(0);
  if (const auto* named = arguments.find("mainScreen")) {
    main = named->isNull() ? std::nullopt
                           : std::optional<size_t>(index(*named, descriptions.size(), "screen"));
  }
  platform::replaceScreens(descriptions, main);
  return EncodableValue();
}

EncodableValue moveWindowToScreen(const EncodableValue& value) {
  const auto& arguments = argumentMap(value);
  const auto window = namedWindow(arguments);
  const auto* screen = arguments.find("screen");
  if (screen == nullptr) throw std::invalid_argument("screen is missing");
  platform::moveWindowToScreen(window, index(*screen, NSScreen::screens().size(), "screen"));
  return EncodableValue();
}

EncodableValue changeBackingProperties(const EncodableValue& value) {
  namedWindow(argumentMap(value))->didChangeBackingProperties();
  return EncodableValue();
}

}  // namespace

void addDesktopScreenMethods(DesktopControl& control) {
  control.addMethod("screens", screens);
  control.addMethod("setScreens", setScreens);
  control.addMethod("moveWindowToScreen", moveWindowToScreen);
  control.addMethod("changeBackingProperties", changeBackingProperties);
}
