#include "platform/dispatch/DispatchQueue.h"

#include <future>

#include "platform/dispatch/MainThread.h"

namespace platform {

void DispatchQueue::async(Work work) {
  bool first = false;
  {
    std::lock_guard lock(mutex_);
    first = items_.empty();
    items_.push_back(std::move(work));
  }
  ready_.notify_one();
  // An event loop that saw work waiting runs it before it waits again; only the first
  // item of a run needs to wake it.
  if (first) callWakeHook();
}

void DispatchQueue::sync(const Work& work) {
  if (this == &mainQueue() && isMainThread()) {
    TOLVEK_DCHECK(false, "sync onto the main queue from the main thread");
    work();
    return;
  }
  std::promise<void> done;
  auto finished = done.get_future();
  async([&work, &done] {
    work();
    done.set_value();
  });
  finished.wait();
}

size_t DispatchQueue::drain() {
  size_t ran = 0;
  while (runOne(std::chrono::nanoseconds::zero())) ++ran;
  return ran;
}

bool DispatchQueue::runOne(std::chrono::nanoseconds timeout) {
  Work work;
  {
    std::unique_lock lock(mutex_);
    if (items_.empty() && timeout > std::chrono::nanoseconds::zero()) {
      ready_.wait_for(lock, timeout, [this] { return !items_.empty() || woken_; });
    }
    woken_ = false;
    if (items_.empty()) return false;
    work = std::move(items_.front());
    items_.pop_front();
  }
  work();
  return true;
}

void DispatchQueue::wake() {
  {
    std::lock_guard lock(mutex_);
    woken_ = true;
  }
  ready_.notify_all();
  callWakeHook();
}

void DispatchQueue::callWakeHook() const {
  if (const WakeHook hook = wakeHook_) hook();
}

size_t DispatchQueue::pendingCount() const {
  std::lock_guard lock(mutex_);
  return items_.size();
}

DispatchQueue& mainQueue() {
  // Never destroyed: threads that outlive main() (the I/O thread stopping at exit, the
  // signal thread) may still post to it while the process ends.
  static DispatchQueue& queue = *new DispatchQueue;
  return queue;
}

}  // namespace platform
