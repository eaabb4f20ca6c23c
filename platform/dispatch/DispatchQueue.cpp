#include "platform/dispatch/DispatchQueue.h"

#include "platform/dispatch/BriefLook.h"
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
  // An atomic flag rather than a promise: nothing allocated per call. The draining thread
  // touches it last when it sets it (waking a sleeper goes by the flag's address only), so
  // the caller may return, and the flag go, as soon as it reads true.
  std::atomic<bool> done{false};
  async([&work, &done] {
    work();
    done.store(true, std::memory_order_release);
    done.notify_one();
  });
  // Most work sent this way is short: the answer is looked for a moment before sleeping.
  // (A semaphore's try_acquire would not do for looking: it yields several times before it
  // answers no.)
  if (!lookBriefly([&done] { return done.load(std::memory_order_acquire); }, kLookAgainFor))
    done.wait(false, std::memory_order_acquire);
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
  // caller waiting on each answer): looking again for a moment is far cheaper than falling
  // asleep and being woken.
  lookBriefly(
      [this] {
        return queued_.load(std::memory_order_relaxed) != 0 ||
               woken_.load(std::memory_order_relaxed);
      },
      kLookAgainFor);
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
