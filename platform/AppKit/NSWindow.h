#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/AppKit/AppKitTypes.h"
#include "platform/AppKit/NSButton.h"
#include "platform/AppKit/NSEvent.h"
#include "platform/AppKit/NSScreen.h"
#include "platform/AppKit/NSTitlebarView.h"
#include "platform/AppKit/NSToolbar.h"
#include "platform/AppKit/NSViewController.h"
#include "platform/AppKit/NSWindowDelegate.h"
#include "platform/AppKit/SheetSlot.h"
#include "platform/desktop/WindowServer.h"

class NSSavePanel;
namespace platform {
class WindowServerControl;
}

// A window. Its frame is in points in the desktop's coordinates (origin bottom-left of the
// main screen, y upward) and includes the title bar. What a window system does (placing,
// ordering, miniaturizing, zooming, full screen, drawing) is asked of the window server's
// window (platform::ServerWindow); the state the window answers with is what the window
// server last reported (platform::WindowServerControl). A titled window has a title
// bar 28 points tall holding the standard buttons its style allows: close (closable),
// miniaturize (miniaturizable) and zoom (resizable). The window lays the title bar out
// again, putting the buttons back at their standard places, whenever it is resized,
// becomes key or main, restyled, or enters or leaves full screen.
//
// Made with std::make_shared and set up by initWithContentRect(), which enters it in the
// application's window list; the list keeps it alive until it is closed. Its delegate is
// held weakly. Main thread only.
class NSWindow : public NSObject {
 public:
  NSWindow() = default;

  // The designated initialiser: the window's content area is `contentRect`, its frame that
  // area plus the title bar above it. The window enters the front of the application's
  // window list, not yet visible. Returns the window.
  virtual std::shared_ptr<NSWindow> initWithContentRect(NSRect contentRect, NSWindowStyleMask style,
                                                        NSBackingStoreType backing, bool defer);
  // Sent once after the window was loaded from the application's interface description.
  virtual void awakeFromNib() {}

  // The number the window server knows the window by (0 before initialisation).
  NSInteger windowNumber() const { return windowNumber_; }
  NSBackingStoreType backingType() const { return backing_; }

  // Geometry.
  NSRect frame() const;
  // Moves and resizes the window, posting NSWindowDidMoveNotification and
  // NSWindowDidResizeNotification for what changed. Nothing is clamped.
  void setFrame(NSRect frame, bool display);
  // Resizes the content area, keeping the window's top-left corner in place.
  void setContentSize(NSSize size);
  NSRect frameRectForContentRect(NSRect contentRect) const;
  NSRect contentRectForFrameRect(NSRect frame) const;
  NSSize minSize() const;
  // The smallest frame size a user may resize the window to.
  void setMinSize(NSSize size);
  // Centred horizontally on its screen's visible frame and somewhat above centre
  // vertically (a third of the free height above, two thirds below).
  void center();

  // Appearance.
  NSWindowStyleMask styleMask() const;
  void setStyleMask(NSWindowStyleMask styleMask);
  NSWindowTitleVisibility titleVisibility() const;
  void setTitleVisibility(NSWindowTitleVisibility visibility);
  bool titlebarAppearsTransparent() const;
  void setTitlebarAppearsTransparent(bool transparent);
  bool isMovableByWindowBackground() const;
  void setMovableByWindowBackground(bool movable);
  std::shared_ptr<NSToolbar> toolbar() const;
  void setToolbar(std::shared_ptr<NSToolbar> toolbar);
  std::string title() const;
  void setTitle(const std::string& title);

  // Content: the content view fills the content area.
  std::shared_ptr<NSView> contentView() const;
  void setContentView(const std::shared_ptr<NSView>& view);
  std::shared_ptr<NSViewController> contentViewController() const;
  // The controller's view becomes the content view, and the window takes the view's size,
  // as the platform does.
  void setContentViewController(const std::shared_ptr<NSViewController>& controller);

  std::shared_ptr<NSWindowDelegate> delegate() const;
  void setDelegate(const std::shared_ptr<NSWindowDelegate>& delegate);

  // The standard button of that kind, or nullptr when the window's style has none.
  std::shared_ptr<NSButton> standardWindowButton(NSWindowButton kind) const;

  // Order, visibility, key and main.
  void makeKeyAndOrderFront(const std::shared_ptr<NSObject>& sender);
  void orderFront(const std::shared_ptr<NSObject>& sender);
  void orderOut(const std::shared_ptr<NSObject>& sender);
  // Ordered in and not miniaturized.
  bool isVisible() const;
  bool isKeyWindow() const;
  bool isMainWindow() const;
  void makeKeyWindow();
  void makeMainWindow();
  virtual bool canBecomeKeyWindow() const;
  virtual bool canBecomeMainWindow() const;

  void miniaturize(const std::shared_ptr<NSObject>& sender);
  void deminiaturize(const std::shared_ptr<NSObject>& sender);
  bool isMiniaturized() const;
  // A click on the miniaturize button: miniaturizes a miniaturizable window.
  void performMiniaturize(const std::shared_ptr<NSObject>& sender);

  // Toggles between the user's frame and the screen's visible frame (the standard frame).
  void zoom(const std::shared_ptr<NSObject>& sender);
  // Whether the frame is the standard frame.
  bool isZoomed() const;
  // A click on the zoom button: zooms a resizable window.
  void performZoom(const std::shared_ptr<NSObject>& sender);

  // Enters full screen (resizable, visible windows on a screen) or leaves it.
  void toggleFullScreen(const std::shared_ptr<NSObject>& sender);
  bool isFullScreen() const;

  // A click on the close button: a closable window asks its delegate's
  // windowShouldClose: and closes only on YES.
  void performClose(const std::shared_ptr<NSObject>& sender);
  // Closes at once: leaves the screen and the application's window list.
  void close();

  // Starts a drag of the window by the user, following `event`.
  void performWindowDragWithEvent(const std::shared_ptr<NSEvent>& event);

  // The screen the window is on, and its density (1.0 with no screen).
  std::shared_ptr<NSScreen> screen() const;
  CGFloat backingScaleFactor() const;

  // An event the application hands the window.
  virtual void sendEvent(const std::shared_ptr<NSEvent>& event);

  // The sheet the window shows (a panel begun on it), or nullptr.
  std::shared_ptr<NSObject> attachedSheet() const { return sheets_.attached(); }

 private:
  friend class NSSavePanel;
  friend class platform::WindowServerControl;

  // What the window server reports, through platform::WindowServerControl.
  void serverDidSetFrame(NSRect frame);
  void serverDidOrderIn();
  void serverDidOrderOut();
  void serverDidMiniaturize();
  void serverDidDeminiaturize();
  void serverDidFocus(bool focused);
  // Announces a change of the window's backing properties (its scale factor or colour
  // space) to the delegate and through NSWindowDidChangeBackingPropertiesNotification.
  void serverDidChangeBackingProperties();

  using DelegateCallback = void (NSWindowDelegate::*)(const NSNotification&);
  void post(const NSNotificationName& name, DelegateCallback callback);
  bool hasTitlebarAboveContent() const;
  void layoutContentView();
  void layoutTitlebar();
  void resignKeyAndMain();

  NSInteger windowNumber_ = 0;
  NSRect frame_{};
  NSWindowStyleMask styleMask_ = NSWindowStyleMaskTitled;
  NSBackingStoreType backing_ = NSBackingStoreBuffered;
  NSWindowTitleVisibility titleVisibility_ = NSWindowTitleVisible;
  bool titlebarAppearsTransparent_ = false;
  bool movableByWindowBackground_ = false;
  std::shared_ptr<NSToolbar> toolbar_;
  std::string title_;
  NSSize minSize_{};
  std::shared_ptr<NSView> contentView_;
  std::shared_ptr<NSViewController> contentViewController_;
  std::weak_ptr<NSWindowDelegate> delegate_;
  std::shared_ptr<NSTitlebarView> titlebar_;
  std::array<std::shared_ptr<NSButton>, 3> buttons_;
  bool orderedIn_ = false;
  bool miniaturized_ = false;
  // The numbers of the events drags were started with, oldest first.
  std::vector<NSInteger> dragEventNumbers_;
  // The window's sheets: the one shown and those waiting their turn.
  platform::SheetSlot sheets_;
  std::unique_ptr<platform::ServerWindow> server_;
};
