#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "platform/AppKit/AppKitTypes.h"
#include "platform/AppKit/SheetSlot.h"
#include "platform/CoreGraphics/CGGeometry.h"
#include "platform/Foundation/NSObject.h"
#include "platform/machine/MachineProfile.h"

class NSWindow;

namespace platform {

class ServerWindow;

// The window server's side of AppKit, in one place: what the user, other applications and
// the window system do to the application's windows and screens, and what they ask of
// it. The DESKTOP control and in-process tests drive the desktop through it; the window
// server backends report what the window system did through it. AppKit keeps all of this
// private to this class. Main thread only.
class WindowServerControl {
 public:
  // What the window system reports of a window.
  static void windowDidSetFrame(NSWindow& window, NSRect frame);
  static void windowDidOrderIn(NSWindow& window);
  static void windowDidOrderOut(NSWindow& window);
  static void windowDidMiniaturize(NSWindow& window);
  static void windowDidDeminiaturize(NSWindow& window);
  // The window gained or lost the keyboard focus.
  static void windowDidFocus(NSWindow& window, bool focused);
  // The window's backing scale factor or colour space changed; the window announces it.
  static void windowDidChangeBackingProperties(NSWindow& window);
  // A view of the window moved or changed size: the window draws itself again.
  static void viewDidChangeFrame(NSWindow& window);

  // What the window server knows of a window.
  // The window system's window made for `window` (null before it is initialised).
  static ServerWindow* serverWindow(NSWindow& window);
  static std::optional<size_t> screenIndex(const NSWindow& window);
  // The numbers of the events drags of `window` were started with, oldest first.
  static const std::vector<NSInteger>& dragEventNumbers(const NSWindow& window);
  // The window's sheets: the one shown and those waiting their turn.
  static SheetSlot& sheets(NSWindow& window);
  // The window as drawn, title band included, as PNG bytes at its backing scale factor
  // (empty when it is too large to draw).
  static std::vector<uint8_t> snapshot(NSWindow& window);

  // The user's screens: moves a window to another one, or replaces them all (the model's
  // only; a real desktop's screens are its monitors: std::invalid_argument there).
  static void moveWindowToScreen(const std::shared_ptr<NSWindow>& window, size_t index);
  static void replaceScreens(const std::vector<ScreenDescription>& screens,
                             std::optional<size_t> mainScreen);

  // The application as the window server sees it.
  static bool hasVisibleWindows();
  // The user reopens the running application; the delegate's answer.
  static bool reopen();
  // The window the application's interface description made: the one the desktop control
  // means when it names no window.
  static std::shared_ptr<NSWindow> interfaceWindow();
  static void setInterfaceWindow(const std::shared_ptr<NSWindow>& window);

  // Empties the desktop for the next test: no windows, no delegate, no current event, and
  // the screens of the machine profile.
  static void resetDesktopForTesting();
};

}  // namespace platform
