#pragma once

#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

#include "platform/AppKit/AppKitTypes.h"
#include "platform/CoreGraphics/CGGeometry.h"
#include "platform/Foundation/NSObject.h"

class NSWindow;

namespace platform {

// What makes the application unable to start: a missing or malformed bundle file.
class StartupError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The application's main interface description, Contents/Resources/<NSMainNibFile>.json:
//
//   {"delegate": "AppDelegate",
//    "window": {"class": "MainFlutterWindow", "title": "Tolvek",
//               "contentRect": [x, y, width, height],
//               "styleMask": ["titled", "closable", "miniaturizable", "resizable"],
//               "visibleAtLaunch": true}}
//
// Both entries are optional. Classes are looked up in the class registry.
struct InterfaceDescription {
  struct Window {
    std::string className;
    std::string title;
    NSRect contentRect{};
    NSWindowStyleMask styleMask = NSWindowStyleMaskTitled;
    bool visibleAtLaunch = true;
  };
  std::optional<std::string> delegateClass;
  std::optional<Window> window;

  // Throws StartupError saying what is wrong.
  static InterfaceDescription parse(const std::string& json);
  static InterfaceDescription load(const std::string& path);
};

// The objects an interface description made; holding them keeps them alive.
struct LoadedInterface {
  std::shared_ptr<NSObject> delegate;
  std::shared_ptr<NSWindow> window;
};

// Loads the interface as the platform does: makes the delegate and the window (a
// StartupError when a class is unknown or of the wrong kind, before anything else
// happens), makes the delegate the application's, initialises the window with
// initWithContentRect:styleMask:backing:defer:, sends it awakeFromNib, and shows it when
// it is visible at launch. Main thread only.
LoadedInterface loadInterface(const InterfaceDescription& description);

}  // namespace platform
