// The window functions the executable exports for the Dart code. Each one applies a rule
// of WindowOnMain.h to TolvekWindowState's window, with its arguments copied first.

#include <string>

#include "macos/Runner/TolvekWindowState.h"
#include "macos/Runner/WindowGeometry.h"
#include "macos/Runner/WindowOnMain.h"
#include "macos/Runner/tolvek.h"
#include "platform/AppKit/NSApplication.h"
#include "platform/text/Utf8Text.h"

namespace {

using Window = std::shared_ptr<NSWindow>;

template <typename Operation>
void command(Operation operation) {
  windowOnMain<TolvekWindowState>(std::move(operation));
}

template <typename Value, typename Operation>
Value query(Value defaultValue, Operation operation) {
  return windowResultOnMain<TolvekWindowState>(defaultValue, std::move(operation));
}

}  // namespace

extern "C" {

void tolvek_window_show(void) {
  command([](const Window& window) { window->makeKeyAndOrderFront(nullptr); });
}

void tolvek_window_hide(void) {
  command([](const Window& window) { window->orderOut(nullptr); });
}

void tolvek_window_minimize(void) {
  command([](const Window& window) { window->miniaturize(nullptr); });
}

void tolvek_window_maximize(void) {
  command([](const Window& window) {
    // Zooming toggles, so an already zoomed window is left as it is.
    if (!window->isZoomed()) window->zoom(nullptr);
  });
}

void tolvek_window_restore(void) {
  command([](const Window& window) {
    if (window->isMiniaturized()) window->deminiaturize(nullptr);
    if (window->isZoomed()) window->zoom(nullptr);
  });
}

void tolvek_window_close(void) {
  command([](const Window& window) { window->performClose(nullptr); });
}

void tolvek_window_start_dragging(void) {
  command([](const Window& window) {
    // The event the application is handling now, when the work runs on the main thread.
    if (const auto event = NSApplication::sharedApplication()->currentEvent()) {
      window->performWindowDragWithEvent(event);
    }
  });
}

void tolvek_window_center(void) {
  command([](const Window& window) { window->center(); });
}

int32_t tolvek_window_is_maximized(void) {
  return query<int32_t>(0, [](const Window& window) { return window->isZoomed() ? 1 : 0; });
}

int32_t tolvek_window_is_visible(void) {
  return query<int32_t>(0, [](const Window& window) { return window->isVisible() ? 1 : 0; });
}

void tolvek_window_set_size(int32_t width, int32_t height) {
  command([width, height](const Window& window) {
    if (const auto frame = frameWithSizeKeepingTopLeft(window->frame(), width, height))
      window->setFrame(*frame, true);
  });
}

void tolvek_window_get_size(int32_t* width, int32_t* height) {
  const CGSize size =
      query(CGSize{0, 0}, [](const Window& window) { return window->frame().size; });
  if (width != nullptr) *width = int32FromPoints(size.width);
  if (height != nullptr) *height = int32FromPoints(size.height);
}

void tolvek_window_set_min_size(int32_t width, int32_t height) {
  command([width, height](const Window& window) {
    window->setMinSize(minimumSizeFromInt32(width, height));
  });
}

void tolvek_window_set_title(const char* title) {
  if (title == nullptr) return;
  // Decoded here, on the calling thread: the caller may free its buffer once we return.
  command([text = utf8TextFromCString(title)](const Window& window) { window->setTitle(text); });
}

}  // extern "C"
