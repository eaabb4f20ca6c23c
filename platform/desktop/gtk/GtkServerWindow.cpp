#include "platform/desktop/gtk/GtkServerWindow.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "platform/AppKit/NSApplication.h"
#include "platform/AppKit/NSWindow.h"
#include "platform/desktop/WindowPicture.h"
#include "platform/desktop/WindowServerControl.h"
#include "platform/desktop/gtk/GtkScreens.h"

namespace platform {

namespace {

GtkServerWindow& self(gpointer data) { return *static_cast<GtkServerWindow*>(data); }

// A size X11 can carry: at least one pixel.
int windowSystemSize(double value) {
  if (!std::isfinite(value)) return 1;
  return static_cast<int>(std::clamp(std::fabs(value), 1.0, 32767.0));
}

}  // namespace

GtkServerWindow::GtkServerWindow(NSWindow& window, NSRect frame, const GtkScreens& screens)
    : window_(window),
      screens_(screens),
      gtkWindow_(gtk_window_new(GTK_WINDOW_TOPLEVEL)),
      content_(gtk_drawing_area_new()) {
  GtkWindow* gtkWindow = GTK_WINDOW(gtkWindow_);
  // The application draws its own title bar over full-size content.
  gtk_window_set_decorated(gtkWindow, FALSE);
  const GdkRectangle placed = screens_.toGdk(frame);
  gtk_window_set_default_size(gtkWindow, placed.width, placed.height);
  gtk_window_move(gtkWindow, placed.x, placed.y);
  gtk_widget_add_events(content_, GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK);
  gtk_container_add(GTK_CONTAINER(gtkWindow_), content_);
  gtk_widget_show(content_);
  gtk_widget_add_events(gtkWindow_, GDK_STRUCTURE_MASK | GDK_FOCUS_CHANGE_MASK);
  g_signal_connect(gtkWindow_, "configure-event", G_CALLBACK(onConfigure), this);
  g_signal_connect(gtkWindow_, "map-event", G_CALLBACK(onMap), this);
  g_signal_connect(gtkWindow_, "unmap-event", G_CALLBACK(onUnmap), this);
  g_signal_connect(gtkWindow_, "window-state-event", G_CALLBACK(onWindowState), this);
  g_signal_connect(gtkWindow_, "focus-in-event", G_CALLBACK(onFocus), this);
  g_signal_connect(gtkWindow_, "focus-out-event", G_CALLBACK(onFocus), this);
  g_signal_connect(gtkWindow_, "notify::scale-factor", G_CALLBACK(onScaleFactor), this);
  g_signal_connect(gtk_widget_get_screen(gtkWindow_), "monitors-changed",
                   G_CALLBACK(onMonitorsChanged), this);
  g_signal_connect(content_, "draw", G_CALLBACK(onDraw), this);
  g_signal_connect(content_, "button-press-event", G_CALLBACK(onButtonPress), this);
  g_signal_connect(content_, "button-release-event", G_CALLBACK(onButtonRelease), this);
  reportedScale_ = gtk_widget_get_scale_factor(gtkWindow_);
}

GtkServerWindow::~GtkServerWindow() { close(); }

void GtkServerWindow::setFrame(NSRect frame) {
  if (gtkWindow_ == nullptr) return;
  const GdkRectangle placed = screens_.toGdk(frame);
  gtk_window_move(GTK_WINDOW(gtkWindow_), placed.x, placed.y);
  gtk_window_resize(GTK_WINDOW(gtkWindow_), placed.width, placed.height);
}

void GtkServerWindow::setMinSize(NSSize size) {
  if (gtkWindow_ == nullptr) return;
  GdkGeometry geometry{};
  geometry.min_width = windowSystemSize(size.width);
  geometry.min_height = windowSystemSize(size.height);
  gtk_window_set_geometry_hints(GTK_WINDOW(gtkWindow_), nullptr, &geometry, GDK_HINT_MIN_SIZE);
}

void GtkServerWindow::setTitle(const std::string& title) {
  if (gtkWindow_ != nullptr) gtk_window_set_title(GTK_WINDOW(gtkWindow_), title.c_str());
}

void GtkServerWindow::orderFront() {
  if (gtkWindow_ == nullptr) return;
  hiding_ = false;
  if (iconified_) gtk_window_deiconify(GTK_WINDOW(gtkWindow_));
  gtk_window_present(GTK_WINDOW(gtkWindow_));
  // A window mapped already reports no map: it is in front now.
  if (gtk_widget_get_mapped(gtkWindow_) && !iconified_)
    WindowServerControl::windowDidOrderIn(window_);
}

void GtkServerWindow::orderOut() {
  if (gtkWindow_ == nullptr) return;
  if (!gtk_widget_get_mapped(gtkWindow_) && !iconified_) {
    WindowServerControl::windowDidOrderOut(window_);
    return;
  }
  hiding_ = true;
  gtk_widget_hide(gtkWindow_);
}

void GtkServerWindow::makeKey() {
  if (gtkWindow_ == nullptr || !gtk_widget_get_mapped(gtkWindow_)) return;
  if (!gtk_window_has_toplevel_focus(GTK_WINDOW(gtkWindow_)))
    gtk_window_present(GTK_WINDOW(gtkWindow_));
}

void GtkServerWindow::miniaturize() {
  if (gtkWindow_ != nullptr) gtk_window_iconify(GTK_WINDOW(gtkWindow_));
}

void GtkServerWindow::deminiaturize() {
  if (gtkWindow_ == nullptr) return;
  gtk_window_deiconify(GTK_WINDOW(gtkWindow_));
  gtk_window_present(GTK_WINDOW(gtkWindow_));
}

void GtkServerWindow::zoom() {
  if (gtkWindow_ == nullptr) return;
  if (maximized_) {
    gtk_window_unmaximize(GTK_WINDOW(gtkWindow_));
  } else {
    gtk_window_maximize(GTK_WINDOW(gtkWindow_));
  }
}

void GtkServerWindow::setFullScreen(bool fullScreen) {
  if (gtkWindow_ == nullptr) return;
  if (fullScreen) {
    gtk_window_fullscreen(GTK_WINDOW(gtkWindow_));
  } else {
    gtk_window_unfullscreen(GTK_WINDOW(gtkWindow_));
  }
}

void GtkServerWindow::performDrag(const NSEvent& event) {
  // A move follows the pointer of the press it began with, while that button is held.
  if (gtkWindow_ == nullptr || pressEvent_ == nullptr || event.eventNumber() != pressEventNumber_)
    return;
  const GdkEventButton& press = pressEvent_->button;
  gtk_window_begin_move_drag(GTK_WINDOW(gtkWindow_), static_cast<gint>(press.button),
                             static_cast<gint>(press.x_root), static_cast<gint>(press.y_root),
                             press.time);
}

void GtkServerWindow::setNeedsDisplay() {
  if (content_ != nullptr) gtk_widget_queue_draw(content_);
}

void GtkServerWindow::close() {
  forgetPress();
  if (gtkWindow_ == nullptr) return;
  GtkWidget* closing = gtkWindow_;
  gtkWindow_ = nullptr;
  content_ = nullptr;
  g_signal_handlers_disconnect_by_data(closing, this);
  g_signal_handlers_disconnect_by_data(gtk_widget_get_screen(closing), this);
  gtk_widget_destroy(closing);
}

std::optional<size_t> GtkServerWindow::screenIndex() const {
  return screens_.screenIndexOf(gtkWindow_ ? gtk_widget_get_window(gtkWindow_) : nullptr);
}

double GtkServerWindow::backingScaleFactor() const { return reportedScale_; }

gboolean GtkServerWindow::onConfigure(GtkWidget*, GdkEventConfigure* event, gpointer data) {
  GtkServerWindow& server = self(data);
  const NSRect frame =
      server.screens_.toAppKit(GdkRectangle{event->x, event->y, event->width, event->height});
  if (frame != server.window_.frame())
    WindowServerControl::windowDidSetFrame(server.window_, frame);
  server.reportScaleIfChanged();
  return FALSE;
}

gboolean GtkServerWindow::onMap(GtkWidget*, GdkEvent*, gpointer data) {
  GtkServerWindow& server = self(data);
  server.hiding_ = false;
  WindowServerControl::windowDidOrderIn(server.window_);
  return FALSE;
}

gboolean GtkServerWindow::onUnmap(GtkWidget*, GdkEvent*, gpointer data) {
  GtkServerWindow& server = self(data);
  if (!server.hiding_) return FALSE;
  server.hiding_ = false;
  WindowServerControl::windowDidOrderOut(server.window_);
  return FALSE;
}

gboolean GtkServerWindow::onWindowState(GtkWidget*, GdkEventWindowState* event, gpointer data) {
  GtkServerWindow& server = self(data);
  const GdkWindowState state = event->new_window_state;
  server.maximized_ = (state & GDK_WINDOW_STATE_MAXIMIZED) != 0;
  const bool iconified = (state & GDK_WINDOW_STATE_ICONIFIED) != 0;
  if (iconified != server.iconified_) {
    server.iconified_ = iconified;
    if (iconified) {
      WindowServerControl::windowDidMiniaturize(server.window_);
    } else {
      WindowServerControl::windowDidDeminiaturize(server.window_);
    }
  }
  server.setNeedsDisplay();
  return FALSE;
}

gboolean GtkServerWindow::onFocus(GtkWidget*, GdkEventFocus* event, gpointer data) {
  GtkServerWindow& server = self(data);
  WindowServerControl::windowDidFocus(server.window_, event->in != 0);
  server.setNeedsDisplay();
  return FALSE;
}

gboolean GtkServerWindow::onDraw(GtkWidget*, cairo_t* cairo, gpointer data) {
  paintWindowPicture(cairo, WindowPicture::of(self(data).window_));
  return TRUE;
}

std::optional<unsigned> GtkServerWindow::buttonAt(double x, double y) const {
  for (const auto& [kind, box] : WindowPicture::buttonBoxes(window_)) {
    if (x >= CGRectGetMinX(box) && x < CGRectGetMaxX(box) && y >= CGRectGetMinY(box) &&
        y < CGRectGetMaxY(box))
      return kind;
  }
  return std::nullopt;
}

gboolean GtkServerWindow::onButtonPress(GtkWidget*, GdkEventButton* event, gpointer data) {
  GtkServerWindow& server = self(data);
  if (event->type != GDK_BUTTON_PRESS || event->button != GDK_BUTTON_PRIMARY) return FALSE;
  server.pressedButton_ = server.buttonAt(event->x, event->y);
  if (server.pressedButton_) return TRUE;
  // Anywhere else the press is the application's event, as AppKit hands it on; nothing in
  // the title band moves the window by itself.
  const NSPoint location = NSMakePoint(event->x, server.window_.frame().size.height - event->y);
  const auto pressed = NSEvent::mouseEventWithType(NSEventTypeLeftMouseDown, location,
                                                   server.window_.windowNumber());
  server.forgetPress();
  server.pressEvent_ = gdk_event_copy(reinterpret_cast<GdkEvent*>(event));
  server.pressEventNumber_ = pressed->eventNumber();
  NSApp()->sendEvent(pressed);
  return TRUE;
}

gboolean GtkServerWindow::onButtonRelease(GtkWidget*, GdkEventButton* event, gpointer data) {
  GtkServerWindow& server = self(data);
  if (event->button != GDK_BUTTON_PRIMARY) return FALSE;
  const auto pressed = std::exchange(server.pressedButton_, std::nullopt);
  server.forgetPress();
  // A button acts when the pointer is let go inside the box it was pressed in.
  if (!pressed || server.buttonAt(event->x, event->y) != pressed) return TRUE;
  if (const auto button =
          server.window_.standardWindowButton(static_cast<NSWindowButton>(*pressed)))
    button->performClick(nullptr);
  return TRUE;
}

void GtkServerWindow::onMonitorsChanged(GdkScreen*, gpointer data) {
  self(data).reportScaleIfChanged();
}

void GtkServerWindow::onScaleFactor(GObject*, GParamSpec*, gpointer data) {
  self(data).reportScaleIfChanged();
}

void GtkServerWindow::reportScaleIfChanged() {
  if (gtkWindow_ == nullptr) return;
  const int scale = gtk_widget_get_scale_factor(gtkWindow_);
  if (scale == reportedScale_) return;
  reportedScale_ = scale;
  WindowServerControl::windowDidChangeBackingProperties(window_);
}

void GtkServerWindow::forgetPress() {
  if (pressEvent_ != nullptr) gdk_event_free(pressEvent_);
  pressEvent_ = nullptr;
  pressEventNumber_ = 0;
}

}  // namespace platform
