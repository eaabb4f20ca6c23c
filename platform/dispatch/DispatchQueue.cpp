#include "platform/dispatch/DispatchQueue.h"

#include <semaphore>
#include <thread>

#include "platform/dispatch/MainThread.h"

namespace platform {

void DispatchQueue::async(Work work) {
  bool first = false;
  {
    std::lock_guard lock(mutex_);
    first = items_.empty();
    items_.push_back(std::move(work));
    queued_.store(items_.size(), std::memory_order_relaxed);
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
  // A semaphore rather than a promise: nothing allocated per call.
  std::binary_semaphore done{0};
  async([&work, &done] {
    work();
    done.release();
  });
  // Most work sent this way is short: the answer is looked for a moment before sleeping.
  const auto until = std::chrono::steady_clock::now() + kLookAgainFor;
  while (!done.try_acquire()) {
    if (std::chrono::steady_clock::now() >= until) return done.acquire();
    std::this_thread::yield();
  }
}

size_t DispatchQueue::drain() {
  size_t ran = 0;
  while (runOne(std::chrono::nanoseconds::zero())) ++ran;
  return ran;
}

bool DispatchQueue::runOne(std::chrono::nanoseconds timeout) {
  if (timeout > std::chrono::nanoseconds::zero()) awaitWorkBriefly();
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
    queued_.store(items_.size(), std::memory_order_relaxed);
  }
  work();
  return true;
}

void DispatchQueue::awaitWorkBriefly() const {
  // A thread that has just run an item often gets the next one within microseconds (a
  // caller waiting on each answer): looking again for a moment, giving the processor away
  // in between, is far cheaper than falling asleep and being woken.
  const auto until = std::chrono::steady_clock::now() + kLookAgainFor;
  while (queued_.load(std::memory_order_relaxed) == 0 && !woken_.load(std::memory_order_relaxed) &&
         std::chrono::steady_clock::now() < until)
    std::this_thread::yield();
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
