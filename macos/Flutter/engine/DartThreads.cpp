#include "macos/Flutter/engine/DartThreads.h"

#include <pthread.h>

#include <array>
#include <atomic>
#include <mutex>
#include <string>
#include <thread>

#include "platform/dispatch/DispatchQueue.h"

namespace {

// A Dart thread's queue. Queues and their threads are never destroyed: a thread may be
// running a call when the process exits, so neither may go away before it.
platform::DispatchQueue* startDartThread(uint8_t number) {
  auto* queue = new platform::DispatchQueue;
  std::thread([queue, number] {
    const std::string name = "dart-" + std::to_string(number);
    pthread_setname_np(pthread_self(), name.c_str());
    for (;;) queue->runOne(std::chrono::hours(1));
  }).detach();
  return queue;
}

}  // namespace

DartThreads& DartThreads::shared() {
  static auto* threads = new DartThreads;
  return *threads;
}

void DartThreads::async(uint8_t number, std::function<void()> work) {
  if (number == 0) {
    platform::mainQueue().async(std::move(work));
    return;
  }
  static std::array<std::atomic<platform::DispatchQueue*>, 256> queues{};
  static std::mutex starting;
  platform::DispatchQueue* queue = queues[number].load(std::memory_order_acquire);
  if (queue == nullptr) {
    std::lock_guard lock(starting);
    queue = queues[number].load(std::memory_order_relaxed);
    if (queue == nullptr) {
      queue = startDartThread(number);
      queues[number].store(queue, std::memory_order_release);
    }
  }
  queue->async(std::move(work));
}
