#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/CoreGraphics/CGGeometry.h"
#include "platform/machine/MachineProfile.h"

class NSEvent;
class NSSavePanel;
class NSScreen;
class NSWindow;

namespace platform {

// One window on the window system, made for one NSWindow, which owns it. NSWindow asks; the
// window system does what it does and reports it back through platform::WindowServerControl
// (at once on the desktop model, when its events arrive on a real desktop). So AppKit's
// queries answer what the window system last reported, not what was asked. Main thread only.
class ServerWindow {
 public:
  virtual ~ServerWindow() = default;

  // Moves and sizes the window; `frame` is in AppKit's coordinates (points, origin at the
  // bottom left of the main screen, y upward).
  virtual void setFrame(NSRect frame) = 0;
  virtual void setMinSize(NSSize size) = 0;
  virtual void setTitle(const std::string& title) = 0;
  // Shows the window in front of the others (bringing it back when miniaturized).
  virtual void orderFront() = 0;
  virtual void orderOut() = 0;
  // Gives the window the keyboard focus.
  virtual void makeKey() = 0;
  virtual void miniaturize() = 0;
  virtual void deminiaturize() = 0;
  // Toggles between the user's frame and the screen's visible frame.
  virtual void zoom() = 0;
  virtual bool isZoomed() const = 0;
  // Enters full screen on the window's screen, or leaves it.
  virtual void setFullScreen(bool fullScreen) = 0;
  // Starts a move of the window by the user, following the pointer of `event`.
  virtual void performDrag(const NSEvent& event) = 0;
  // The title bar or its buttons changed: the window draws itself again.
  virtual void setNeedsDisplay() = 0;
  // The window leaves the window system for good.
  virtual void close() = 0;

  // The screen the window is on (an index into NSScreen::screens()), and its density.
  virtual std::optional<size_t> screenIndex() const = 0;
  virtual double backingScaleFactor() const = 0;
};

// What a window system does for AppKit: windows and screens. One serves the process: the
// desktop model unless another was installed at start-up. Main thread only.
class WindowServer {
 public:
  virtual ~WindowServer() = default;

  // The name TOLVEK_DESKTOP chooses it by.
  virtual const char* name() const = 0;

  virtual std::unique_ptr<ServerWindow> createWindow(NSWindow& window, NSRect frame) = 0;

  // On a desktop without a Dock, starting the application again is the way back to it:
  // true when an instance of the same bundle already runs for this user and took over (it
  // reopens; this one should end), false when this instance goes on. The model has no
  // other instances.
  virtual bool handOverToRunningApplication(const std::string&) { return false; }

  // `panel` became the sheet `window` shows: a real desktop puts up its file dialog for
  // it, attached to the window, and answers the panel through platform::answerSheet when
  // the person does. The model shows nothing: the desktop control answers there.
  virtual void showPanel(const std::shared_ptr<NSWindow>&, const std::shared_ptr<NSSavePanel>&) {}
  // The sheet of `panel` ended (answered, by whatever means): its dialog, if any, goes.
  virtual void panelDidEnd(const NSSavePanel&) {}

  // Every screen, the first one holding the menu bar, and the main screen's index.
  virtual std::vector<std::shared_ptr<NSScreen>> screens() = 0;
  virtual std::optional<size_t> mainScreenIndex() = 0;

  // The user rearranges the screens: moves `window` to screen `index`, or replaces the
  // screens. A real desktop's screens are its monitors: there these throw
  // std::invalid_argument.
  virtual void moveWindowToScreen(const std::shared_ptr<NSWindow>& window, size_t index);
  virtual void replaceScreens(const std::vector<ScreenDescription>& screens,
                              std::optional<size_t> mainScreen);
};

// The window server of the process.
WindowServer& windowServer();
// Replaces it; start-up only, before the first window is made.
void installWindowServer(std::unique_ptr<WindowServer> server);

}  // namespace platform
