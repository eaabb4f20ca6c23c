#pragma once

#include <memory>
#include <vector>

#include "platform/AppKit/NSApplicationDelegate.h"
#include "platform/AppKit/NSEvent.h"
#include "platform/Foundation/NSObject.h"

class NSWindow;
namespace platform {
class WindowServerControl;
}

// The application object: its windows, the event being handled, its delegate, and the
// main run loop that drives it. Main thread only.
class NSApplication : public NSObject {
 public:
  static std::shared_ptr<NSApplication> sharedApplication();

  // Every window of the application that has not been closed, front to back (visible or
  // not). The list holds them strongly.
  std::vector<std::shared_ptr<NSWindow>> windows() const;
  std::shared_ptr<NSWindow> windowWithWindowNumber(NSInteger windowNumber) const;
  std::shared_ptr<NSWindow> keyWindow() const;
  std::shared_ptr<NSWindow> mainWindow() const;

  // Held weakly, as the platform does; whoever sets it keeps it alive.
  std::shared_ptr<NSApplicationDelegate> delegate() const;
  void setDelegate(const std::shared_ptr<NSApplicationDelegate>& delegate);

  // The event being handled, or the last one handled, until the next event arrives.
  std::shared_ptr<NSEvent> currentEvent() const;
  // Makes `event` current and hands it to its window.
  void sendEvent(const std::shared_ptr<NSEvent>& event);

  // Tells the delegate that launching is done (once).
  void finishLaunching();
  // Finishes launching, then runs the main run loop until terminate().
  void run();
  bool isRunning() const;
  // Ordinary termination: unless the delegate cancels it, NSApplicationWillTerminate is
  // posted and the main run loop stops after the work in progress, so run() returns.
  void terminate(const std::shared_ptr<NSObject>& sender);

 private:
  friend class NSWindow;
  friend class platform::WindowServerControl;

  // What the window server asks of the application (platform::WindowServerControl).
  // Whether any of the application's windows is visible.
  bool hasVisibleWindows() const;
  // The user reopens the running application (a click on its Dock icon). Returns the
  // delegate's answer; on YES with no window visible, the platform brings back a
  // miniaturized window, if there is one.
  bool reopen();
  // The window the application's interface description made: the one the desktop
  // control means when it names no window.
  std::shared_ptr<NSWindow> interfaceWindow() const;
  void setInterfaceWindow(const std::shared_ptr<NSWindow>& window);
  // Forgets every window, the delegate and the current event (tests).
  void resetForTesting();

  // A new window goes to the front of the list, not yet visible.
  void insertWindow(const std::shared_ptr<NSWindow>& window);
  void moveWindowToFront(const NSWindow* window);
  void removeWindow(const NSWindow* window);
  // After the key or main window left the screen: the frontmost visible windows that can
  // take those roles take them.
  void passKeyAndMainOn();
  void windowDidClose();
  void post(const NSNotificationName& name,
            void (NSApplicationDelegate::*callback)(const NSNotification&));

  std::vector<std::shared_ptr<NSWindow>> windows_;
  std::weak_ptr<NSWindow> keyWindow_;
  std::weak_ptr<NSWindow> mainWindow_;
  std::weak_ptr<NSWindow> interfaceWindow_;
  std::weak_ptr<NSApplicationDelegate> delegate_;
  std::shared_ptr<NSEvent> currentEvent_;
  bool launched_ = false;
  bool running_ = false;
};

// The shared application object.
std::shared_ptr<NSApplication> NSApp();
