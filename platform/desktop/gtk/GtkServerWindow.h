#pragma once

#include <gtk/gtk.h>

#include <optional>

#include "platform/AppKit/AppKitTypes.h"
#include "platform/desktop/WindowServer.h"

namespace platform {

class GtkScreens;

// A window of the real desktop: a GTK top-level window without window-manager
// decorations (the application draws its own title bar), filled by one drawing area that
// paints the window's picture and takes its pointer input. Requests go to the window
// system; what it reports (configure, map and unmap, window-state, focus and scale-factor
// events) is handed to AppKit as it arrives.
class GtkServerWindow : public ServerWindow {
 public:
  GtkServerWindow(NSWindow& window, NSRect frame, const GtkScreens& screens);
  ~GtkServerWindow() override;
  GtkServerWindow(const GtkServerWindow&) = delete;
  GtkServerWindow& operator=(const GtkServerWindow&) = delete;

  void setFrame(NSRect frame) override;
  void setMinSize(NSSize size) override;
  void setTitle(const std::string& title) override;
  void orderFront() override;
  void orderOut() override;
  void makeKey() override;
  void miniaturize() override;
  void deminiaturize() override;
  void zoom() override;
  bool isZoomed() const override { return maximized_; }
  void setFullScreen(bool fullScreen) override;
  void performDrag(const NSEvent& event) override;
  void setNeedsDisplay() override;
  void close() override;

  std::optional<size_t> screenIndex() const override;
  double backingScaleFactor() const override;

  // The GTK window, or null once closed.
  GtkWindow* gtkWindow() const { return gtkWindow_ ? GTK_WINDOW(gtkWindow_) : nullptr; }

 private:
  // The monitors changed: a window whose scale factor changed with them announces it.
  static void onMonitorsChanged(GdkScreen*, gpointer self);
  static gboolean onConfigure(GtkWidget*, GdkEventConfigure* event, gpointer self);
  static gboolean onMap(GtkWidget*, GdkEvent*, gpointer self);
  static gboolean onUnmap(GtkWidget*, GdkEvent*, gpointer self);
  static gboolean onWindowState(GtkWidget*, GdkEventWindowState* event, gpointer self);
  static gboolean onFocus(GtkWidget*, GdkEventFocus* event, gpointer self);
  static gboolean onDraw(GtkWidget*, cairo_t* cairo, gpointer self);
  static gboolean onButtonPress(GtkWidget*, GdkEventButton* event, gpointer self);
  static gboolean onButtonRelease(GtkWidget*, GdkEventButton* event, gpointer self);
  static void onScaleFactor(GObject*, GParamSpec*, gpointer self);

  // The standard button whose box holds the point (in points from the top left).
  std::optional<unsigned> buttonAt(double x, double y) const;
  void reportScaleIfChanged();
  void forgetPress();

  NSWindow& window_;
  const GtkScreens& screens_;
  GtkWidget* gtkWindow_;
  GtkWidget* content_;
  int reportedScale_;
  bool maximized_ = false;
  bool iconified_ = false;
  // orderOut() asked for the unmap that comes next (an iconified window is unmapped too).
  bool hiding_ = false;
  // The standard button a press began on; a release in the same box clicks it.
  std::optional<unsigned> pressedButton_;
  // The last press handed to AppKit as an event, for a drag that follows it.
  NSInteger pressEventNumber_ = 0;
  GdkEvent* pressEvent_ = nullptr;
};

}  // namespace platform
