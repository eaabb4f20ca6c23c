#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <limits>
#include <thread>

#include "macos/Runner/MainFlutterWindow.h"
#include "macos/Runner/TolvekWindowState.h"
#include "macos/Runner/tolvek.h"
#include "platform/AppKit/NSApplication.h"
#include "platform/AppKit/NSEvent.h"
#include "platform/desktop/WindowServerControl.h"
#include "platform/dispatch/DispatchQueue.h"
#include "platform/dispatch/RunLoop.h"
#include "support/DesktopFixture.h"

namespace {

const std::string kFFFD = "\xEF\xBF\xBD";

// Runs `calls` on a thread of its own while the main thread runs its loop (so queries can
// be answered), then lets the main thread run whatever the calls queued.
void fromAnotherThread(const std::function<void()>& calls) {
  std::atomic<bool> done{false};
  std::thread caller([&] {
    calls();
    done = true;
  });
  const bool finished = platform::RunLoop::main().runUntil([&] { return done.load(); });
  caller.join();
  ASSERT_TRUE(finished);
  platform::mainQueue().drain();
}

struct Size {
  int32_t width, height;
  friend bool operator==(const Size&, const Size&) = default;
};

Size getSize() {
  Size size{-1, -1};
  tolvek_window_get_size(&size.width, &size.height);
  return size;
}

// Everything the window functions can change about a window.
struct WindowState {
  NSRect frame;
  NSSize minSize;
  std::string title;
  bool visible, miniaturized, zoomed;
  std::vector<NSInteger> drags;
  friend bool operator==(const WindowState&, const WindowState&) = default;
};

WindowState stateOf(const NSWindow& window) {
  return {window.frame(),
          window.minSize(),
          window.title(),
          window.isVisible(),
          window.isMiniaturized(),
          window.isZoomed(),
          platform::WindowServerControl::dragEventNumbers(window)};
}

void everyCommand() {
  tolvek_window_show();
  tolvek_window_hide();
  tolvek_window_minimize();
  tolvek_window_maximize();
  tolvek_window_restore();
  tolvek_window_close();
  tolvek_window_start_dragging();
  tolvek_window_center();
  tolvek_window_set_size(300, 200);
  tolvek_window_set_min_size(30, 20);
  tolvek_window_set_title("changed");
}

class WindowExports : public DesktopTest {
 protected:
  void SetUp() override {
    DesktopTest::SetUp();
    TolvekWindowState::setWindow(nullptr);
  }
  void TearDown() override {
    platform::mainQueue().drain();
    TolvekWindowState::setWindow(nullptr);
    DesktopTest::TearDown();
  }

  // A main window like the application's (it hides when asked to close), with exactly this
  // frame, shown and recorded in TolvekWindowState.
  std::shared_ptr<NSWindow> recordWindow(NSRect frame = CGRectMake(100, 200, 800, 600)) {
    auto window = makeWindow<MainFlutterWindow>(frame);
    window->setFrame(frame, true);
    window->setDelegate(window);
    window->makeKeyAndOrderFront(nullptr);
    TolvekWindowState::setWindow(window);
    return window;
  }

  std::shared_ptr<NSEvent> mouseDown(const std::shared_ptr<NSWindow>& window) {
    auto event = NSEvent::mouseEventWithType(NSEventTypeLeftMouseDown, NSMakePoint(200, 590),
                                             window->windowNumber());
    NSApp()->sendEvent(event);
    return event;
  }
};

TEST_F(WindowExports, WithoutARecordedWindowCommandsChangeNothingAndQueriesAnswerDefaults) {
  // A window exists, but it is not the recorded one.
  const auto bystander = recordWindow();
  TolvekWindowState::setWindow(nullptr);
  mouseDown(bystander);
  const WindowState before = stateOf(*bystander);

  everyCommand();
  EXPECT_EQ(tolvek_window_is_maximized(), 0);
  EXPECT_EQ(tolvek_window_is_visible(), 0);
  EXPECT_EQ(getSize(), (Size{0, 0}));
  fromAnotherThread([] {
    everyCommand();
    EXPECT_EQ(tolvek_window_is_maximized(), 0);
    EXPECT_EQ(tolvek_window_is_visible(), 0);
    EXPECT_EQ(getSize(), (Size{0, 0}));
  });
  EXPECT_EQ(stateOf(*bystander), before);
}

TEST_F(WindowExports, ShowHideAndVisibility) {
  const auto window = recordWindow();
  EXPECT_EQ(tolvek_window_is_visible(), 1);
  tolvek_window_hide();
  EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(tolvek_window_is_visible(), 0);
  tolvek_window_show();
  EXPECT_TRUE(window->isVisible());
  EXPECT_TRUE(window->isKeyWindow());
  EXPECT_EQ(tolvek_window_is_visible(), 1);
}

TEST_F(WindowExports, MaximizeZoomsOnceAndNeverTogglesBack) {
  const auto window = recordWindow();
  EXPECT_EQ(tolvek_window_is_maximized(), 0);
  tolvek_window_maximize();
  EXPECT_EQ(window->frame(), window->screen()->visibleFrame());
  tolvek_window_maximize();
  EXPECT_TRUE(window->isZoomed());
  EXPECT_EQ(tolvek_window_is_maximized(), 1);
}

TEST_F(WindowExports, RestoreDeminiaturizesThenUnzoomsInOneCall) {
  const auto window = recordWindow();
  const NSRect userFrame = window->frame();
  tolvek_window_maximize();
  tolvek_window_minimize();
  ASSERT_TRUE(window->isMiniaturized());
  ASSERT_TRUE(window->isZoomed());
  EXPECT_EQ(tolvek_window_is_visible(), 0);

  tolvek_window_restore();
  EXPECT_FALSE(window->isMiniaturized());
  EXPECT_FALSE(window->isZoomed());
  EXPECT_EQ(window->frame(), userFrame);
  EXPECT_EQ(tolvek_window_is_visible(), 1);

  // Neither miniaturized nor zoomed: nothing to do.
  const WindowState before = stateOf(*window);
  tolvek_window_restore();
  EXPECT_EQ(stateOf(*window), before);
}

TEST_F(WindowExports, CloseHidesTheWindowWhichStaysRecordedAndShowsAgain) {
  const auto window = recordWindow();
  tolvek_window_close();
  EXPECT_EQ(tolvek_window_is_visible(), 0);
  EXPECT_EQ(TolvekWindowState::window(), window);
  EXPECT_EQ(NSApp()->windowWithWindowNumber(window->windowNumber()), window);
  tolvek_window_show();
  EXPECT_EQ(tolvek_window_is_visible(), 1);
}

TEST_F(WindowExports, DraggingUsesTheEventCurrentWhenTheWorkRuns) {
  const auto window = recordWindow();
  tolvek_window_start_dragging();  // no event yet: nothing
  EXPECT_TRUE(platform::WindowServerControl::dragEventNumbers(*window).empty());

  const auto first = mouseDown(window);
  tolvek_window_start_dragging();
  EXPECT_EQ(platform::WindowServerControl::dragEventNumbers(*window),
            std::vector<NSInteger>{first->eventNumber()});

  // Queued from another thread while `first` is current; by the time it runs, `second` is.
  std::thread([] { tolvek_window_start_dragging(); }).join();
  const auto second = mouseDown(window);
  platform::mainQueue().drain();
  EXPECT_EQ(platform::WindowServerControl::dragEventNumbers(*window),
            (std::vector<NSInteger>{first->eventNumber(), second->eventNumber()}));
}

TEST_F(WindowExports, CenterPlacesTheWindowOnItsScreen) {
  const auto window = recordWindow(CGRectMake(0, 0, 800, 600));
  tolvek_window_center();
  // The screen's visible frame is 1440 x 875: centred across, a third of the free height
  // above.
  EXPECT_EQ(window->frame(), CGRectMake(320, 183, 800, 600));
}

TEST_F(WindowExports, SetSizeKeepsTheLeftAndTopEdges) {
  const auto window = recordWindow(CGRectMake(100, 200, 800, 600));
  tolvek_window_set_size(1024, 768);
  EXPECT_EQ(window->frame(), CGRectMake(100, 32, 1024, 768));
  fromAnotherThread([] { tolvek_window_set_size(400, 300); });
  EXPECT_EQ(window->frame(), CGRectMake(100, 500, 400, 300));
  // A height below one point changes nothing: the top edge stays where it was.
  tolvek_window_set_size(400, -100);
  EXPECT_EQ(window->frame(), CGRectMake(100, 500, 400, 300));
}

TEST_F(WindowExports, GetSizeTruncatesAndWritesOnlyThroughNonNullPointers) {
  const auto window = recordWindow();
  window->setFrame(CGRectMake(10, 10, 1024.7, 768.2), true);
  EXPECT_EQ(getSize(), (Size{1024, 768}));

  int32_t width = -1, height = -1;
  tolvek_window_get_size(&width, nullptr);
  EXPECT_EQ(width, 1024);
  tolvek_window_get_size(nullptr, &height);
  EXPECT_EQ(height, 768);
  tolvek_window_get_size(nullptr, nullptr);

  Size fromThread{-1, -1};
  fromAnotherThread([&] { fromThread = getSize(); });
  EXPECT_EQ(fromThread, (Size{1024, 768}));
}

TEST_F(WindowExports, GetSizeSaturatesFrameSizesNoInt32Holds) {
  const auto window = recordWindow();
  window->setFrame(CGRectMake(0, 0, std::nan(""), 1e12), true);
  EXPECT_EQ(getSize(), (Size{0, std::numeric_limits<int32_t>::max()}));
  window->setFrame(CGRectMake(0, 0, -std::numeric_limits<double>::infinity(), -3e9), true);
  EXPECT_EQ(getSize(),
            (Size{std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::min()}));
}

TEST_F(WindowExports, SetMinSize) {
  const auto window = recordWindow();
  tolvek_window_set_min_size(320, 240);
  EXPECT_EQ(window->minSize(), NSMakeSize(320, 240));
}

TEST_F(WindowExports, SetTitleTakesWellFormedTextAndIgnoresNull) {
  const auto window = recordWindow();
  tolvek_window_set_title("Tolvek \xE2\x80\x94 Files");
  EXPECT_EQ(window->title(), "Tolvek \xE2\x80\x94 Files");
  tolvek_window_set_title(nullptr);
  EXPECT_EQ(window->title(), "Tolvek \xE2\x80\x94 Files");
  tolvek_window_set_title(
      "A\xFF\xC0"
      "B");
  EXPECT_EQ(window->title(), "A" + kFFFD + kFFFD + "B");
  tolvek_window_set_title("cut \xE2\x82");
  EXPECT_EQ(window->title(), "cut " + kFFFD);
  tolvek_window_set_title("");
  EXPECT_EQ(window->title(), "");
}

TEST_F(WindowExports, TheCallerMayFreeTheTitleAsSoonAsTheCallReturns) {
  const auto window = recordWindow();
  std::thread([] {
    char* title = strdup("Queued title");
    tolvek_window_set_title(title);
    std::memset(title, 'X', std::strlen(title));
    std::free(title);
  }).join();
  platform::mainQueue().drain();
  EXPECT_EQ(window->title(), "Queued title");
}

TEST_F(WindowExports, AQueryFromAThreadRunsAfterThatThreadsCommands) {
  const auto window = recordWindow(CGRectMake(100, 200, 800, 600));
  Size size{};
  int32_t visible = -1, maximized = -1;
  fromAnotherThread([&] {
    tolvek_window_hide();
    tolvek_window_set_size(640, 480);
    tolvek_window_show();
    tolvek_window_maximize();
    tolvek_window_restore();
    size = getSize();
    visible = tolvek_window_is_visible();
    maximized = tolvek_window_is_maximized();
  });
  EXPECT_EQ(size, (Size{640, 480}));
  EXPECT_EQ(visible, 1);
  EXPECT_EQ(maximized, 0);
}

// Several threads command and query the window at once while the main thread runs its
// loop and calls the functions itself. Every frame set keeps the top edge at 800, so a
// frame seen with another top edge was torn or applied out of place.
TEST_F(WindowExports, ConcurrentCallsFromManyThreadsAreSerialisedOnTheMainThread) {
  const auto window = recordWindow(CGRectMake(100, 200, 800, 600));
  constexpr int kThreads = 4;
  constexpr int kRounds = 100;
  std::atomic<int> finished{0};
  std::atomic<int> wrong{0};
  std::vector<std::thread> callers;
  for (int caller = 0; caller < kThreads; ++caller) {
    callers.emplace_back([&, caller] {
      for (int round = 0; round < kRounds; ++round) {
        tolvek_window_set_size(600 + caller, 400 + round);
        const std::string title = "thread " + std::to_string(caller);
        tolvek_window_set_title(title.c_str());
        tolvek_window_set_min_size(caller, round);
        tolvek_window_show();
        const Size size = getSize();
        if (size.width < 600 || size.width >= 600 + kThreads) ++wrong;
        if (size.height < 400 || size.height >= 400 + kRounds) ++wrong;
        if (tolvek_window_is_visible() != 1 || tolvek_window_is_maximized() != 0) ++wrong;
      }
      ++finished;
    });
  }
  const bool allDone = platform::RunLoop::main().runUntil([&] {
    if (CGRectGetMaxY(window->frame()) != 800) ++wrong;
    if (tolvek_window_is_visible() != 1) ++wrong;
    return finished.load() == kThreads;
  });
  for (auto& thread : callers) thread.join();
  platform::mainQueue().drain();
  ASSERT_TRUE(allDone);
  EXPECT_EQ(wrong, 0);
  EXPECT_EQ(CGRectGetMaxY(window->frame()), 800);
  EXPECT_EQ(window->frame().size.height, 400 + kRounds - 1);
}

}  // namespace
