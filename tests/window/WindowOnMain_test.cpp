#include "macos/Runner/WindowOnMain.h"

#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <memory>
#include <thread>
#include <vector>

#include "platform/dispatch/DispatchQueue.h"
#include "platform/dispatch/MainThread.h"
#include "platform/dispatch/RunLoop.h"

namespace {

// A stand-in for the window the rules act on: it counts, per caller, the commands that
// reached it, and it notes any use off the main thread.
struct FakeWindow {
  std::map<int, int> commandsFrom;
  int offMainUses = 0;

  void command(int caller) {
    if (!platform::isMainThread()) ++offMainUses;
    ++commandsFrom[caller];
  }
  int commandsSeenFrom(int caller) {
    if (!platform::isMainThread()) ++offMainUses;
    return commandsFrom[caller];
  }
};

// Holds the window as TolvekWindowState does, and counts reads off the main thread.
struct FakeWindowState {
  static inline std::shared_ptr<FakeWindow> current;
  static inline std::atomic<int> offMainReads{0};
  static std::shared_ptr<FakeWindow> window() {
    if (!platform::isMainThread()) ++offMainReads;
    return current;
  }
};

void command(int caller) {
  windowOnMain<FakeWindowState>(
      [caller](const std::shared_ptr<FakeWindow>& window) { window->command(caller); });
}

int commandsSeen(int caller) {
  return windowResultOnMain<FakeWindowState>(-1,
                                             [caller](const std::shared_ptr<FakeWindow>& window) {
                                               return window->commandsSeenFrom(caller);
                                             });
}

class WindowOnMain : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::mainQueue().drain();
    FakeWindowState::current = std::make_shared<FakeWindow>();
    FakeWindowState::offMainReads = 0;
  }
  void TearDown() override {
    platform::mainQueue().drain();
    EXPECT_EQ(FakeWindowState::offMainReads, 0);
    FakeWindowState::current.reset();
  }
  FakeWindow& window() { return *FakeWindowState::current; }
};

TEST_F(WindowOnMain, OnTheMainThreadCommandsAndQueriesRunAtOnce) {
  command(1);
  EXPECT_EQ(window().commandsFrom[1], 1);
  EXPECT_EQ(platform::mainQueue().pendingCount(), 0u);
  EXPECT_EQ(commandsSeen(1), 1);
}

TEST_F(WindowOnMain, WithoutAWindowCommandsDoNothingAndQueriesAnswerTheDefault) {
  FakeWindowState::current.reset();
  command(1);
  EXPECT_EQ(commandsSeen(1), -1);
  std::atomic<int> seen{0};
  std::atomic<bool> done{false};
  std::thread caller([&] {
    command(2);
    seen = commandsSeen(2);
    done = true;
  });
  ASSERT_TRUE(platform::RunLoop::main().runUntil([&] { return done.load(); }));
  caller.join();
  EXPECT_EQ(seen, -1);
}

TEST_F(WindowOnMain, ACommandFromAnotherThreadReturnsBeforeItRuns) {
  std::thread([] { command(1); }).join();
  // The calling thread is gone and the main thread has not run the queue yet.
  EXPECT_EQ(window().commandsFrom[1], 0);
  EXPECT_EQ(platform::mainQueue().pendingCount(), 1u);
  platform::mainQueue().drain();
  EXPECT_EQ(window().commandsFrom[1], 1);
  EXPECT_EQ(window().offMainUses, 0);
}

TEST_F(WindowOnMain, AQueuedCommandActsOnTheWindowRecordedWhenItRuns) {
  FakeWindowState::current.reset();
  std::thread([] { command(1); }).join();
  auto later = std::make_shared<FakeWindow>();
  FakeWindowState::current = later;
  platform::mainQueue().drain();
  EXPECT_EQ(later->commandsFrom[1], 1);

  std::thread([] { command(1); }).join();
  FakeWindowState::current.reset();
  platform::mainQueue().drain();  // no window by then: nothing happens
  EXPECT_EQ(later->commandsFrom[1], 1);
}

TEST_F(WindowOnMain, ACommandOnTheMainThreadRunsAheadOfQueuedWork) {
  std::vector<int> order;
  std::thread([&order] {
    windowOnMain<FakeWindowState>([&order](const auto&) { order.push_back(1); });
  }).join();
  windowOnMain<FakeWindowState>([&order](const auto&) { order.push_back(2); });
  platform::mainQueue().drain();
  EXPECT_EQ(order, (std::vector<int>{2, 1}));
}

TEST_F(WindowOnMain, AQueryFromAnotherThreadSeesThatThreadsEarlierCommands) {
  std::atomic<int> seen{-2};
  std::atomic<bool> done{false};
  std::thread caller([&] {
    command(1);
    command(1);
    command(1);
    seen = commandsSeen(1);
    done = true;
  });
  ASSERT_TRUE(platform::RunLoop::main().runUntil([&] { return done.load(); }));
  caller.join();
  EXPECT_EQ(seen, 3);
}

// Several threads issue commands and queries at once while the main thread pumps its run
// loop and uses the window itself; every thread's query must see all of its own earlier
// commands, and no call made on the main thread may wait.
TEST_F(WindowOnMain, ConcurrentCallersEachSeeTheirOwnCommandsInOrder) {
  constexpr int kThreads = 4;
  constexpr int kRounds = 200;
  std::atomic<int> finished{0};
  std::atomic<int> mismatches{0};
  std::vector<std::thread> callers;
  for (int caller = 1; caller <= kThreads; ++caller) {
    callers.emplace_back([&, caller] {
      for (int round = 1; round <= kRounds; ++round) {
        command(caller);
        if (round % 3 == 0 && commandsSeen(caller) != round) ++mismatches;
      }
      if (commandsSeen(caller) != kRounds) ++mismatches;
      ++finished;
    });
  }
  int mainCommands = 0;
  const bool allDone = platform::RunLoop::main().runUntil([&] {
    // Calls from the main thread run at once, whatever waits in the queue.
    command(0);
    ++mainCommands;
    if (commandsSeen(0) != mainCommands) ++mismatches;
    return finished.load() == kThreads;
  });
  for (auto& thread : callers) thread.join();
  ASSERT_TRUE(allDone);
  EXPECT_EQ(mismatches, 0);
  for (int caller = 1; caller <= kThreads; ++caller) {
    EXPECT_EQ(window().commandsFrom[caller], kRounds);
  }
  EXPECT_EQ(window().offMainUses, 0);
}

}  // namespace
