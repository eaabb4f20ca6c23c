#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>

namespace platform {

// A serial queue whose work items run one at a time, in submission order, on the thread
// that drains it. The main queue is drained by the main thread's run loop.
class DispatchQueue {
 public:
  using Work = std::function<void()>;

  // Submits `work` and returns at once. Safe from any thread.
  void async(Work work);

  // Submits `work` and waits until it has run. From the thread that drains the queue this
  // would wait forever, so there it is a programming error (checked in debug builds) and
  // runs the work at once instead.
  void sync(const Work& work);

  // Runs the items queued so far, and those they queue in turn, until the queue is empty.
  // Returns how many ran. Called by the draining thread only.
  size_t drain();

  // Waits up to `timeout` for an item and runs the first one. Returns whether one ran.
  bool runOne(std::chrono::nanoseconds timeout);

  // Wakes a thread waiting in runOne() without running anything.
  void wake();

  size_t pendingCount() const;

  // Called on the submitting thread after a submission to an empty queue and after each
  // wake(): how an event loop that waits on more than this queue learns that work came
  // (it runs work already waiting before it waits again). Start-up only.
  using WakeHook = void (*)();
  void setWakeHook(WakeHook hook) { wakeHook_ = hook; }

 private:
  void callWakeHook() const;
  // Waits a moment, without sleeping, for work or a wake-up before runOne() sleeps. The
  // same moment is what sync() looks for its answer before it sleeps.
  void awaitWorkBriefly() const;
  static constexpr std::chrono::microseconds kLookAgainFor{50};

  std::atomic<WakeHook> wakeHook_{nullptr};
  mutable std::mutex mutex_;
  std::condition_variable ready_;
  std::deque<Work> items_;
  std::atomic<size_t> queued_{0};  // items_.size(), to look at without the lock
  std::atomic<bool> woken_{false};
};

// The main dispatch queue.
DispatchQueue& mainQueue();

}  // namespace platform
