#include "platform/dispatch/RunLoop.h"

#include "platform/dispatch/DispatchQueue.h"
#include "platform/dispatch/MainThread.h"

namespace platform {

RunLoop& RunLoop::main() {
  static RunLoop loop;
  return loop;
}

void RunLoop::run() {
  assertMainThread();
  running_ = true;
  while (!stopRequested_.exchange(false)) {
    mainQueue().runOne(std::chrono::seconds(1));
  }
  running_ = false;
}

void RunLoop::stop() {
  stopRequested_ = true;
  mainQueue().wake();
}

bool RunLoop::runUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
  assertMainThread();
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!done()) {
    const auto now = std::chrono::steady_clock::now();
    if (now >= deadline) return false;
    mainQueue().runOne(
        std::min<std::chrono::nanoseconds>(deadline - now, std::chrono::milliseconds(5)));
  }
  return true;
}

void RunLoop::runUntilIdle() {
  assertMainThread();
  mainQueue().drain();
}

}  // namespace platform
