// The window exports from a Dart thread while the main thread idles in its run loop, beside
// their floor measured in the same run: the least a round trip between two threads costs,
// a ping-pong through two semaphores (futexes) with nothing else on the way. A query waits
// for the main thread; a command only queues its work, so its cost to the caller is
// measured alone. Each benchmark that waits for another thread reports its ratio to the
// floor's median and 99th percentile (p50_x_floor, p99_x_floor).
//
// The exports are looked up by name, as Dart finds them: a build without them reports the
// benchmarks that need them as skipped.
#include <dlfcn.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <semaphore>
#include <thread>

#include "bench/LatencyCounters.h"
#include "macos/Runner/TolvekWindowState.h"
#include "platform/AppKit/NSWindow.h"
#include "platform/desktop/WindowServer.h"
#include "platform/desktop/WindowServerChoice.h"
#include "platform/dispatch/DispatchQueue.h"
#include "platform/dispatch/RunLoop.h"

namespace {

// The floor: a worker thread asleep on a semaphore until a task is handed to it; it runs
// the task and hands the turn back through a second semaphore. Two wake-ups, no lock held
// by either side while the other runs.
class PingPong {
 public:
  PingPong() : worker_([this] { serve(); }) {}
  ~PingPong() {
    stopping_ = true;
    ping_.release();
    worker_.join();
  }

  void run(const std::function<void()>& task) {
    task_ = &task;
    ping_.release();
    pong_.acquire();
  }

 private:
  void serve() {
    for (;;) {
      ping_.acquire();
      if (stopping_) return;
      (*task_)();
      pong_.release();
    }
  }

  std::binary_semaphore ping_{0}, pong_{0};
  const std::function<void()>* task_ = nullptr;  // handed over by the semaphores
  std::atomic<bool> stopping_{false};
  std::thread worker_;
};

// The floor's figures from this run, for the benchmarks after it.
LatencyCounters::Summary gFloor;

template <typename Function>
Function* exported(const char* name) {
  return reinterpret_cast<Function*>(dlsym(RTLD_DEFAULT, name));
}

void BM_RoundTripBetweenTwoThreads(benchmark::State& state) {
  PingPong other;
  int32_t value = 0;
  const std::function<void()> task = [&value] { value = 1; };
  gFloor = measureEachIteration(state, [&] { other.run(task); });
  benchmark::DoNotOptimize(value);
}

// What a query does to reach the main thread, without the window.
void BM_MainQueueSyncFromDartThread(benchmark::State& state) {
  int32_t value = 0;
  reportBesideFloor(
      state,
      measureEachIteration(state, [&] { platform::mainQueue().sync([&value] { value = 1; }); }),
      gFloor);
  benchmark::DoNotOptimize(value);
}

void BM_WindowQueryFromDartThread(benchmark::State& state) {
  auto* isVisible = exported<int32_t()>("tolvek_window_is_visible");
  if (isVisible == nullptr) return state.SkipWithError("no tolvek_window_is_visible here");
  int32_t visible = 0;
  reportBesideFloor(state, measureEachIteration(state, [&] { visible = isVisible(); }), gFloor);
  if (visible != 1) state.SkipWithError("the window query did not see the window");
}

// The caller's share of a command: the call returns once the work is queued. The main
// thread runs the queued work meanwhile; the queue is drained between batches.
void BM_WindowCommandCallerCost(benchmark::State& state) {
  auto* setSize = exported<void(int32_t, int32_t)>("tolvek_window_set_size");
  if (setSize == nullptr) return state.SkipWithError("no tolvek_window_set_size here");
  int32_t width = 800;
  measureEachIteration(state, [&] {
    setSize(width, 600);
    width = width == 800 ? 801 : 800;
  });
  platform::mainQueue().sync([] {});
}

BENCHMARK(BM_RoundTripBetweenTwoThreads)->UseRealTime();
BENCHMARK(BM_MainQueueSyncFromDartThread)->UseRealTime();
BENCHMARK(BM_WindowQueryFromDartThread)->UseRealTime();
BENCHMARK(BM_WindowCommandCallerCost)->UseRealTime();

}  // namespace

// The main thread holds the main window and idles in the main run loop, as in the host;
// the benchmarks run on another thread, as the Dart code does. The desktop is chosen as the
// host chooses it (TOLVEK_DESKTOP): on the real one the run loop is GLib's and the window
// is shown for real before the benchmarks start.
int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  try {
    platform::installChosenWindowServer();
  } catch (const platform::WindowServerChoiceError& error) {
    std::fprintf(stderr, "bench_window: %s\n", error.what());
    return 2;
  }
  benchmark::AddCustomContext("desktop", platform::windowServer().name());
  auto window = std::make_shared<NSWindow>();
  window->initWithContentRect(NSMakeRect(100, 100, 800, 600),
                              NSWindowStyleMaskTitled | NSWindowStyleMaskResizable,
                              NSBackingStoreBuffered, false);
  window->makeKeyAndOrderFront(nullptr);
  if (!platform::RunLoop::main().runUntil([&window] { return window->isVisible(); })) {
    std::fprintf(stderr, "bench_window: the window was not shown\n");
    return 1;
  }
  TolvekWindowState::setWindow(window);
  std::thread dart([] {
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    platform::RunLoop::main().stop();
  });
  platform::RunLoop::main().run();
  dart.join();
  TolvekWindowState::setWindow(nullptr);
  return 0;
}
