#pragma once

#include <atomic>
#include <chrono>
#include <functional>

#include "platform/dispatch/RunLoopDriver.h"

namespace platform {

// The main thread's run loop: it delivers every queued work item, event and channel
// message, one at a time, until it is stopped.
class RunLoop {
 public:
  static RunLoop& main();

  // Runs until stop() is called. Main thread only.
  void run();
  // Makes run() return after the item in progress. Safe from any thread.
  void stop();
  bool isRunning() const { return running_; }

  // For tests and start-up: runs queued work until `done` holds or `timeout` passes.
  // Returns whether `done` held. Main thread only.
  bool runUntil(const std::function<bool()>& done,
                std::chrono::milliseconds timeout = std::chrono::seconds(10));
  // Runs queued work until the main queue is empty. Main thread only.
  void runUntilIdle();

  // Hands the waiting to `driver` (nullptr: the main queue's own). Start-up only, on the
  // main thread; the driver lives for the rest of the process.
  void setDriver(RunLoopDriver* driver);

 private:
  RunLoopDriver& driver();

  std::atomic<RunLoopDriver*> driver_{nullptr};
  std::atomic<bool> running_{false};
  std::atomic<bool> stopRequested_{false};
};

}  // namespace platform
