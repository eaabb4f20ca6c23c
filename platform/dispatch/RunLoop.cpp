#include "platform/dispatch/RunLoop.h"

#include "platform/dispatch/DispatchQueue.h"
#include "platform/dispatch/MainThread.h"

namespace platform {

namespace {

// The main queue alone: waits for an item and runs it.
class MainQueueDriver : public RunLoopDriver {
 public:
  void runOnce(std::optional<std::chrono::nanoseconds> timeout) override {
    mainQueue().runOne(timeout.value_or(std::chrono::seconds(1)));
  }
  void wake() override { mainQueue().wake(); }
};

}  // namespace

RunLoop& RunLoop::main() {
  static RunLoop loop;
  return loop;
}

void RunLoop::run() {
  assertMainThread();
  running_ = true;
  while (!stopRequested_.exchange(false)) driver().runOnce(std::nullopt);
  running_ = false;
}

void RunLoop::stop() {
  stopRequested_ = true;
  driver().wake();
}

bool RunLoop::runUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
  assertMainThread();
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!done()) {
    const auto now = std::chrono::steady_clock::now();
    if (now >= deadline) return false;
    driver().runOnce(
        std::min<std::chrono::nanoseconds>(deadline - now, std::chrono::milliseconds(5)));
  }
  return true;
}

void RunLoop::runUntilIdle() {
  assertMainThread();
  mainQueue().drain();
}

void RunLoop::setDriver(RunLoopDriver* driver) {
  assertMainThread();
  driver_ = driver;
}

RunLoopDriver& RunLoop::driver() {
  static MainQueueDriver mainQueueOnly;
  RunLoopDriver* installed = driver_;
  return installed != nullptr ? *installed : mainQueueOnly;
}

}  // namespace platform
