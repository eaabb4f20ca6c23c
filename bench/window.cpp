// The window exports from a Dart thread while the main thread idles in its run loop, beside
// their floor measured in the same run: a bare post-and-wait round trip between two threads
// (a mutex, a condition variable, a worker asleep until work comes). A query waits for the
// main thread; a command only queues its work, so its cost to the caller is measured alone.
//
// The exports are looked up by name, as Dart finds them: a build without them reports the
// benchmarks that need them as skipped.
#include <dlfcn.h>

#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <mutex>
#include <thread>

#include "bench/LatencyCounters.h"
#include "macos/Runner/TolvekWindowState.h"
#include "platform/AppKit/NSWindow.h"
#include "platform/desktop/WindowServer.h"
#include "platform/desktop/WindowServerChoice.h"
#include "platform/dispatch/DispatchQueue.h"
#include "platform/dispatch/RunLoop.h"

namespace {

// The floor: one worker thread that sleeps on a condition variable until a task is posted,
// runs it and wakes the poster, who waits on a condition variable of its own.
class PostAndWait {
 public:
  PostAndWait() : worker_([this] { serve(); }) {}
  ~PostAndWait() {
    {
      std::lock_guard lock(mutex_);
      stopping_ = true;
    }
    posted_.notify_one();
    worker_.join();
  }

  void run(const std::function<void()>& task) {
    std::unique_lock lock(mutex_);
    task_ = &task;
    done_ = false;
    posted_.notify_one();
    finished_.wait(lock, [this] { return done_; });
  }

 private:
  void serve() {
    std::unique_lock lock(mutex_);
    for (;;) {
      posted_.wait(lock, [this] { return task_ != nullptr || stopping_; });
      if (stopping_) return;
      (*task_)();
      task_ = nullptr;
      done_ = true;
      finished_.notify_one();
    }
  }

  std::mutex mutex_;
  std::condition_variable posted_, finished_;
  const std::function<void()>* task_ = nullptr;
  bool done_ = false;
  bool stopping_ = false;
  std::thread worker_;
};

template <typename Function>
Function* exported(const char* name) {
  return reinterpret_cast<Function*>(dlsym(RTLD_DEFAULT, name));
}

void BM_PostAndWaitBetweenTwoThreads(benchmark::State& state) {
  PostAndWait other;
  int32_t value = 0;
  const std::function<void()> task = [&value] { value = 1; };
  measureEachIteration(state, [&] { other.run(task); });
  benchmark::DoNotOptimize(value);
}

// What a query does to reach the main thread, without the window.
void BM_MainQueueSyncFromDartThread(benchmark::State& state) {
  int32_t value = 0;
  measureEachIteration(state, [&] { platform::mainQueue().sync([&value] { value = 1; }); });
  benchmark::DoNotOptimize(value);
}

void BM_WindowQueryFromDartThread(benchmark::State& state) {
  auto* isVisible = exported<int32_t()>("tolvek_window_is_visible");
  if (isVisible == nullptr) return state.SkipWithError("no tolvek_window_is_visible here");
  int32_t visible = 0;
  measureEachIteration(state, [&] { visible = isVisible(); });
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

BENCHMARK(BM_PostAndWaitBetweenTwoThreads)->UseRealTime();
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
