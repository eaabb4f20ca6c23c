#include "macos/Runner/TolvekWindowState.h"

#include "platform/dispatch/MainThread.h"

namespace {

std::shared_ptr<NSWindow>& recordedWindow() {
  static std::shared_ptr<NSWindow> window;
  return window;
}

}  // namespace

std::shared_ptr<NSWindow> TolvekWindowState::window() {
  assertMainThread();
  return recordedWindow();
}

void TolvekWindowState::setWindow(std::shared_ptr<NSWindow> window) {
  assertMainThread();
  recordedWindow() = std::move(window);
}
