#pragma once

#include <glib.h>

#include "platform/dispatch/RunLoopDriver.h"

namespace platform {

// The main run loop as GLib's main loop on the main thread: GTK's events, the main
// dispatch queue (a GLib source that is ready while work is queued) and GLib's own
// timers are all served by iterating GLib's default main context. A submission to the
// main queue from any thread wakes the context, so nothing waits for a poll timeout.
class GLibRunLoopDriver : public RunLoopDriver {
 public:
  // Attaches the main queue's source to the default main context and has every
  // submission wake it. Main thread only, once.
  GLibRunLoopDriver();
  ~GLibRunLoopDriver() override;
  GLibRunLoopDriver(const GLibRunLoopDriver&) = delete;
  GLibRunLoopDriver& operator=(const GLibRunLoopDriver&) = delete;

  void runOnce(std::optional<std::chrono::nanoseconds> timeout) override;
  void wake() override;

 private:
  GSource* queueSource_;
};

}  // namespace platform
