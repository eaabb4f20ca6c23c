#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <utility>
#include <vector>

#include "platform/dispatch/DispatchQueue.h"
#include "platform/dispatch/NSOperationQueue.h"
#include "platform/dispatch/NSThread.h"
#include "support/DesktopFixture.h"

namespace {

using MainQueue = DesktopTest;

TEST_F(MainQueue, KeepsEachThreadsSubmissionOrder) {
  constexpr int kItems = 500;
  std::vector<std::pair<int, int>> ran;  // touched on the main thread only
  std::vector<std::thread> threads;
  for (int thread = 0; thread < 3; ++thread) {
    threads.emplace_back([thread, &ran] {
      for (int item = 0; item < kItems; ++item) {
        platform::mainQueue().async([thread, item, &ran] {
          EXPECT_TRUE(NSThread::isMainThread());
          ran.emplace_back(thread, item);
        });
      }
    });
  }
  ASSERT_TRUE(platform::RunLoop::main().runUntil([&] { return ran.size() == 3 * kItems; }));
  for (auto& thread : threads) thread.join();
  std::vector<int> next(3, 0);
  for (const auto& [thread, item] : ran) {
    EXPECT_EQ(item, next[thread]) << "thread " << thread;
    next[thread] = item + 1;
  }
}

TEST_F(MainQueue, SyncRunsAfterTheCommandsQueuedBeforeIt) {
  std::vector<int> ran;
  std::vector<int> seenBySync;
  std::atomic<bool> done{false};
  std::thread caller([&] {
    for (int command = 0; command < 100; ++command)
      platform::mainQueue().async([&ran, command] { ran.push_back(command); });
    platform::mainQueue().sync([&] { seenBySync = ran; });
    done = true;
  });
  ASSERT_TRUE(platform::RunLoop::main().runUntil([&] { return done.load(); }));
  caller.join();
  EXPECT_EQ(seenBySync.size(), 100u);
  EXPECT_EQ(seenBySync, ran);
}

TEST_F(MainQueue, SyncFromABackgroundThreadWaitsWhileTheMainThreadIsBusy) {
  std::vector<std::string> order;  // main thread only
  std::atomic<bool> syncReturned{false};
  std::thread caller;
  platform::mainQueue().async([&] {
    order.push_back("busy: start");
    caller = std::thread([&] {
      platform::mainQueue().sync([&] { order.push_back("sync work"); });
      syncReturned = true;
    });
    // Stay busy until the background thread's work is queued behind this item.
    while (platform::mainQueue().pendingCount() == 0) std::this_thread::yield();
    // Longer than a caller looks for its answer: it falls asleep and must be woken.
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
    EXPECT_FALSE(syncReturned.load()) << "sync returned while the main thread was busy";
    order.push_back("busy: end");
  });
  ASSERT_TRUE(platform::RunLoop::main().runUntil([&] { return syncReturned.load(); }));
  caller.join();
  EXPECT_EQ(order, (std::vector<std::string>{"busy: start", "busy: end", "sync work"}));
}

TEST_F(MainQueue, MainQueueObserversRunOnTheMainThread) {
  const auto object = std::make_shared<NSObject>();
  std::atomic<bool> onMain{false};
  std::atomic<int> calls{0};
  const auto token = NSNotificationCenter::defaultCenter()->addObserverForName(
      "TestNotification", object, NSOperationQueue::mainQueue(), [&](const NSNotification&) {
        onMain = NSThread::isMainThread();
        ++calls;
      });
  std::thread poster([&] {
    NSNotificationCenter::defaultCenter()->postNotificationName("TestNotification", object);
    NSNotificationCenter::defaultCenter()->postNotificationName("TestNotification", nullptr);
  });
  ASSERT_TRUE(platform::RunLoop::main().runUntil([&] { return calls.load() == 1; }));
  poster.join();
  platform::RunLoop::main().runUntilIdle();
  EXPECT_TRUE(onMain.load());
  EXPECT_EQ(calls.load(), 1) << "a notification from another object is not observed";
  NSNotificationCenter::defaultCenter()->removeObserver(token);
}

}  // namespace
