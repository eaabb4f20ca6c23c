#pragma once

#include <cstdint>
#include <functional>

// The threads on which the Dart side calls exported functions. Thread 0 is the main
// thread: its calls are queued to the main run loop. Thread n >= 1 is a thread of the
// host process, started the first time it is named and kept for the life of the process.
// Every thread runs its calls one at a time, in the order they were queued.
class DartThreads {
 public:
  static DartThreads& shared();

  // Queues `work` on Dart thread `number`. Safe from any thread.
  void async(uint8_t number, std::function<void()> work);

 private:
  DartThreads() = default;
};
