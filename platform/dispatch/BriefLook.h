#pragma once

#include <chrono>
#include <thread>

namespace platform {

// Whether the calling thread may run on more than one processor (its affinity, read once
// per thread): only then can the thread it waits for make progress while it keeps looking.
bool mayRunBesideOtherThreads();

// One short pause in a busy look: the processor is told the thread is spinning.
inline void relaxProcessor() {
#if defined(__x86_64__) || defined(__i386__)
  __builtin_ia32_pause();
#elif defined(__aarch64__)
  asm volatile("yield");
#endif
}

// Looks at `ready` for up to `period` without sleeping; returns whether it became true.
//
// A thread that may run beside the one it waits for looks with the processor's pause in
// between: giving the processor to the kernel (a yield) costs more than a whole round trip
// on some machines, and the other thread is usually already running elsewhere. It still
// yields every few microseconds, in case the other thread waits for this processor. A
// thread confined to one processor can only wait for the other by yielding, so it does.
template <typename Ready>
bool lookBriefly(Ready&& ready, std::chrono::nanoseconds period) {
  using Clock = std::chrono::steady_clock;
  constexpr std::chrono::microseconds kYieldEvery{4};
  constexpr int kPausesBetweenClockReads = 32;
  const bool spin = mayRunBesideOtherThreads();
  const auto start = Clock::now();
  auto nextYield = start + kYieldEvery;
  for (;;) {
    if (ready()) return true;
    if (spin) {
      for (int i = 0; i < kPausesBetweenClockReads; ++i) {
        relaxProcessor();
        if (ready()) return true;
      }
    }
    const auto now = Clock::now();
    if (now - start >= period) return false;
    if (!spin || now >= nextYield) {
      std::this_thread::yield();
      nextYield = Clock::now() + kYieldEvery;
    }
  }
}

}  // namespace platform
