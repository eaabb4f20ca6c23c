#include <gtest/gtest.h>

#include "platform/desktop/WindowServerControl.h"
#include "support/DesktopFixture.h"

namespace {

class RecordingDelegate : public NSApplicationDelegate {
 public:
  void applicationWillFinishLaunching(const NSNotification&) override {
    calls.push_back("willFinish");
  }
  void applicationDidFinishLaunching(const NSNotification&) override {
    calls.push_back("didFinish");
  }
  NSApplicationTerminateReply applicationShouldTerminate(
      const std::shared_ptr<NSApplication>&) override {
    calls.push_back("shouldTerminate");
    return reply;
  }
  void applicationWillTerminate(const NSNotification&) override {
    calls.push_back("willTerminate");
  }
  bool applicationShouldHandleReopen(const std::shared_ptr<NSApplication>&,
                                     bool hasVisibleWindows) override {
    reopenedWithVisibleWindows.push_back(hasVisibleWindows);
    return reopenAnswer;
  }

  std::vector<std::string> calls;
  std::vector<bool> reopenedWithVisibleWindows;
  NSApplicationTerminateReply reply = NSTerminateNow;
  bool reopenAnswer = true;
};

using Application = DesktopTest;

TEST_F(Application, RunFinishesLaunchingOnceAndTerminateEndsIt) {
  const auto delegate = std::make_shared<RecordingDelegate>();
  NSApp()->setDelegate(delegate);
  bool runningInside = false;
  platform::mainQueue().async([&] {
    runningInside = NSApp()->isRunning();
    NSApp()->terminate(nullptr);
  });
  NSApp()->run();
  EXPECT_TRUE(runningInside);
  EXPECT_FALSE(NSApp()->isRunning());
  NSApp()->finishLaunching();
  EXPECT_EQ(delegate->calls, (std::vector<std::string>{"willFinish", "didFinish", "shouldTerminate",
                                                       "willTerminate"}));
}

TEST_F(Application, ADelegateCanCancelTermination) {
  const auto delegate = std::make_shared<RecordingDelegate>();
  delegate->reply = NSTerminateCancel;
  NSApp()->setDelegate(delegate);
  NSApp()->terminate(nullptr);
  EXPECT_EQ(delegate->calls, std::vector<std::string>{"shouldTerminate"});
  EXPECT_FALSE(applicationRunReturnsAtOnce()) << "the run loop was not stopped";
}

TEST_F(Application, AnEventStaysCurrentUntilTheNextOne) {
  const auto window = makeVisibleWindow();
  EXPECT_EQ(NSApp()->currentEvent(), nullptr);
  const auto first = NSEvent::mouseEventWithType(NSEventTypeLeftMouseDown, NSMakePoint(5, 5),
                                                 window->windowNumber());
  NSApp()->sendEvent(first);
  platform::RunLoop::main().runUntilIdle();
  EXPECT_EQ(NSApp()->currentEvent(), first);
  EXPECT_EQ(first->window(), window);

  const auto second = NSEvent::mouseEventWithType(NSEventTypeLeftMouseUp, NSMakePoint(5, 5), 0);
  NSApp()->sendEvent(second);
  EXPECT_EQ(NSApp()->currentEvent(), second);
  EXPECT_GT(second->eventNumber(), first->eventNumber());
}

TEST_F(Application, AClickBringsAWindowForwardAndMakesItKey) {
  const auto back = makeVisibleWindow();
  const auto front = makeVisibleWindow();
  NSApp()->sendEvent(NSEvent::mouseEventWithType(NSEventTypeLeftMouseDown, NSMakePoint(10, 10),
                                                 back->windowNumber()));
  EXPECT_TRUE(back->isKeyWindow());
  EXPECT_TRUE(back->isMainWindow());
  EXPECT_EQ(NSApp()->windows().front(), back);
  EXPECT_FALSE(front->isKeyWindow());
}

TEST_F(Application, ReopenTellsTheDelegateWhetherWindowsAreVisible) {
  const auto delegate = std::make_shared<RecordingDelegate>();
  NSApp()->setDelegate(delegate);
  const auto window = makeVisibleWindow();
  EXPECT_TRUE(platform::WindowServerControl::reopen());
  window->orderOut(nullptr);
  delegate->reopenAnswer = false;
  EXPECT_FALSE(platform::WindowServerControl::reopen());
  EXPECT_EQ(delegate->reopenedWithVisibleWindows, (std::vector<bool>{true, false}));
  EXPECT_FALSE(window->isVisible()) << "the delegate did nothing, so neither does the platform";
}

TEST_F(Application, ReopenWithoutVisibleWindowsBringsBackAMiniaturizedOne) {
  const auto window = makeVisibleWindow();
  window->miniaturize(nullptr);
  EXPECT_TRUE(platform::WindowServerControl::reopen());
  EXPECT_TRUE(window->isVisible());
  EXPECT_FALSE(window->isMiniaturized());
}

}  // namespace
