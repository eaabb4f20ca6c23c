#pragma once

#include <memory>

#include "platform/AppKit/NSWindow.h"

// The application's one main window, held for the life of the process: recorded by the
// main window's set-up, read by the window functions. Never instantiated; main thread
// only.
class TolvekWindowState {
 public:
  TolvekWindowState() = delete;

  static std::shared_ptr<NSWindow> window();
  // Records `window`, releasing the window recorded before.
  static void setWindow(std::shared_ptr<NSWindow> window);
};
