#include "macos/Flutter/engine/DesktopWindowMap.h"

#include "macos/Flutter/engine/DesktopArguments.h"
#include "macos/Flutter/engine/DesktopControl.h"
#include "platform/AppKit/NSWindow.h"
#include "platform/desktop/DialogWindows.h"
#include "platform/desktop/WindowServerControl.h"
#include "platform/dispatch/MainThread.h"

namespace {

EncodableValue pair(double first, double second) { return EncodableList{first, second}; }

EncodableValue rect(const NSRect& rect) {
  return EncodableList{rect.origin.x, rect.origin.y, rect.size.width, rect.size.height};
}

EncodableValue buttons(const NSWindow& window) {
  EncodableList list;
  for (const auto kind : {NSWindowCloseButton, NSWindowMiniaturizeButton, NSWindowZoomButton}) {
    const auto button = window.standardWindowButton(kind);
    if (!button) continue;
    const NSRect frame = button->frame();
    const auto superview = button->superview();
    const NSSize superviewSize = superview ? superview->frame().size : NSSize{};
    list.push_back(EncodableMap{
        {"kind", desktopInteger(kind)},
        {"origin", pair(frame.origin.x, frame.origin.y)},
        {"size", pair(frame.size.width, frame.size.height)},
        {"superviewSize", pair(superviewSize.width, superviewSize.height)},
    });
  }
  return list;
}

bool delegateIsSelf(const NSWindow& window) {
  const auto delegate = window.delegate();
  return delegate && dynamic_cast<const NSWindow*>(delegate.get()) == &window;
}

}  // namespace

EncodableMap desktopWindowMap(const std::shared_ptr<NSWindow>& window) {
  assertMainThread();
  const auto screen = platform::WindowServerControl::screenIndex(*window);
  EncodableList dragEvents;
  for (const auto number : platform::WindowServerControl::dragEventNumbers(*window))
    dragEvents.push_back(desktopInteger(number));
  return EncodableMap{
      {"id", desktopInteger(window->windowNumber())},
      {"class", window->className()},
      {"title", window->title()},
      {"frame", rect(window->frame())},
      {"visible", window->isVisible()},
      {"key", window->isKeyWindow()},
      {"main", window->isMainWindow()},
      {"zoomed", window->isZoomed()},
      {"miniaturized", window->isMiniaturized()},
      {"fullScreen", window->isFullScreen()},
      {"minSize", pair(window->minSize().width, window->minSize().height)},
      {"styleMask", desktopInteger(static_cast<int64_t>(window->styleMask()))},
      {"titleVisibility", desktopInteger(window->titleVisibility())},
      {"titlebarAppearsTransparent", window->titlebarAppearsTransparent()},
      {"movableByWindowBackground", window->isMovableByWindowBackground()},
      {"hasToolbar", window->toolbar() != nullptr},
      {"delegateIsSelf", delegateIsSelf(*window)},
      {"hasContentViewController", window->contentViewController() != nullptr},
      {"screen", screen ? desktopInteger(static_cast<int64_t>(*screen)) : EncodableValue()},
      {"backingScaleFactor", window->backingScaleFactor()},
      {"buttons", buttons(*window)},
      {"dragEvents", dragEvents},
      {"sheet", desktopSheetDescription(window)},
  };
}

EncodableMap desktopDialogMap(const platform::DialogWindow& dialog) {
  return EncodableMap{{"id", desktopInteger(dialog.id)},
                      {"class", dialog.className},
                      {"title", dialog.title},
                      {"frame", rect(dialog.frame)},
                      {"visible", dialog.visible}};
}
