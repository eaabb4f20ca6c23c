#pragma once

#include <chrono>
#include <optional>

namespace platform {

// What the main run loop waits on and runs. By default the main queue alone; a window
// system with an event loop of its own installs a driver that waits on both, so that its
// events and the queued work are served on the main thread one at a time.
class RunLoopDriver {
 public:
  virtual ~RunLoopDriver() = default;
  // Waits for work for up to `timeout` (nullopt: until some comes or wake() is called) and
  // runs what came. Main thread only.
  virtual void runOnce(std::optional<std::chrono::nanoseconds> timeout) = 0;
  // Makes a runOnce() in progress return soon. Safe from any thread.
  virtual void wake() = 0;
};

}  // namespace platform
