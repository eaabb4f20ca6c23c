#include <gtest/gtest.h>

#include "platform/AppKit/NSPanel.h"
#include "platform/desktop/WindowServerControl.h"
#include "support/DesktopFixture.h"

namespace {

class CloseVoter : public NSWindowDelegate {
 public:
  explicit CloseVoter(bool answer) : answer_(answer) {}
  bool windowShouldClose(const std::shared_ptr<NSWindow>& sender) override {
    asked.push_back(sender);
    return answer_;
  }
  void windowWillClose(const NSNotification&) override { ++willClose; }
  std::vector<std::shared_ptr<NSWindow>> asked;
  int willClose = 0;

 private:
  bool answer_;
};

class LastWindowPolicy : public NSApplicationDelegate {
 public:
  explicit LastWindowPolicy(bool terminate) : terminate_(terminate) {}
  bool applicationShouldTerminateAfterLastWindowClosed(
      const std::shared_ptr<NSApplication>&) override {
    ++asked;
    return terminate_;
  }
  int asked = 0;

 private:
  bool terminate_;
};

using WindowOrdering = DesktopTest;

TEST_F(WindowOrdering, NewWindowsJoinTheFrontOfTheListHidden) {
  const auto first = makeWindow();
  const auto second = makeWindow();
  EXPECT_EQ(NSApp()->windows(), (std::vector<std::shared_ptr<NSWindow>>{second, first}));
  EXPECT_FALSE(first->isVisible());
  EXPECT_FALSE(first->isKeyWindow());
  EXPECT_NE(first->windowNumber(), second->windowNumber());
  EXPECT_EQ(NSApp()->windowWithWindowNumber(first->windowNumber()), first);
}

TEST_F(WindowOrdering, MakeKeyAndOrderFrontShowsTheWindowKeyMainAndFrontmost) {
  const auto back = makeVisibleWindow();
  const auto window = makeWindow();
  back->orderFront(nullptr);
  ASSERT_EQ(NSApp()->windows().front(), back);

  window->makeKeyAndOrderFront(nullptr);
  EXPECT_TRUE(window->isVisible());
  EXPECT_TRUE(window->isKeyWindow());
  EXPECT_TRUE(window->isMainWindow());
  EXPECT_FALSE(back->isKeyWindow());
  EXPECT_FALSE(back->isMainWindow());
  EXPECT_EQ(NSApp()->windows().front(), window);
  EXPECT_EQ(NSApp()->keyWindow(), window);
}

TEST_F(WindowOrdering, OrderOutHidesAndPassesKeyToTheNextVisibleWindow) {
  const auto other = makeVisibleWindow();
  const auto window = makeVisibleWindow();
  NotificationRecorder recorder(
      {NSWindowDidResignKeyNotification, NSWindowDidResignMainNotification}, window);
  window->orderOut(nullptr);
  EXPECT_FALSE(window->isVisible());
  EXPECT_FALSE(window->isKeyWindow());
  EXPECT_EQ(recorder.posted(), (std::vector<std::string>{NSWindowDidResignKeyNotification,
                                                         NSWindowDidResignMainNotification}));
  EXPECT_TRUE(other->isKeyWindow());
  EXPECT_TRUE(other->isMainWindow());
  EXPECT_EQ(NSApp()->windows().size(), 2u) << "a hidden window stays in the list";

  other->orderOut(nullptr);
  EXPECT_EQ(NSApp()->keyWindow(), nullptr);
  EXPECT_FALSE(platform::WindowServerControl::hasVisibleWindows());
}

TEST_F(WindowOrdering, MiniaturizedWindowsAreNotVisibleUntilBroughtBack) {
  const auto window = makeVisibleWindow();
  window->miniaturize(nullptr);
  EXPECT_TRUE(window->isMiniaturized());
  EXPECT_FALSE(window->isVisible());
  EXPECT_FALSE(window->isKeyWindow());

  window->deminiaturize(nullptr);
  EXPECT_FALSE(window->isMiniaturized());
  EXPECT_TRUE(window->isVisible());
  EXPECT_TRUE(window->isKeyWindow());

  window->miniaturize(nullptr);
  window->makeKeyAndOrderFront(nullptr);
  EXPECT_FALSE(window->isMiniaturized()) << "ordering front brings it back from the Dock";
  EXPECT_TRUE(window->isVisible());

  const auto fixed = makeVisibleWindow(NSMakeRect(0, 0, 100, 100), NSWindowStyleMaskTitled);
  fixed->performMiniaturize(nullptr);
  EXPECT_FALSE(fixed->isMiniaturized()) << "no miniaturize button, nothing to click";
}

TEST_F(WindowOrdering, PanelsBecomeKeyButNeverMain) {
  const auto window = makeVisibleWindow();
  const auto panel = makeVisibleWindow<NSPanel>();
  EXPECT_TRUE(panel->isKeyWindow());
  EXPECT_FALSE(panel->isMainWindow());
  EXPECT_TRUE(window->isMainWindow());
  EXPECT_EQ(panel->className(), "NSPanel");
}

TEST_F(WindowOrdering, PerformCloseClosesOnlyWhenTheDelegateAgrees) {
  const auto window = makeVisibleWindow();
  const auto refuses = std::make_shared<CloseVoter>(false);
  window->setDelegate(refuses);
  window->performClose(nullptr);
  ASSERT_EQ(refuses->asked.size(), 1u);
  EXPECT_EQ(refuses->asked[0], window);
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(NSApp()->windows().size(), 1u);

  const auto agrees = std::make_shared<CloseVoter>(true);
  window->setDelegate(agrees);
  window->performClose(nullptr);
  EXPECT_EQ(agrees->willClose, 1);
  EXPECT_FALSE(window->isVisible());
  EXPECT_TRUE(NSApp()->windows().empty()) << "a closed window leaves the list";
}

TEST_F(WindowOrdering, WindowsWithoutCloseButtonIgnorePerformClose) {
  const auto window = makeVisibleWindow(NSMakeRect(0, 0, 100, 100), NSWindowStyleMaskTitled);
  const auto delegate = std::make_shared<CloseVoter>(true);
  window->setDelegate(delegate);
  window->performClose(nullptr);
  EXPECT_TRUE(delegate->asked.empty());
  EXPECT_TRUE(window->isVisible());
}

TEST_F(WindowOrdering, DelegateIsHeldWeakly) {
  const auto window = makeVisibleWindow();
  auto delegate = std::make_shared<CloseVoter>(false);
  window->setDelegate(delegate);
  delegate.reset();
  EXPECT_EQ(window->delegate(), nullptr);
  window->performClose(nullptr);
  EXPECT_TRUE(NSApp()->windows().empty()) << "with no delegate to refuse, the window closes";
}

TEST_F(WindowOrdering, ClosingTheLastVisibleWindowAsksTheApplicationDelegate) {
  const auto policy = std::make_shared<LastWindowPolicy>(false);
  NSApp()->setDelegate(policy);
  const auto first = makeVisibleWindow();
  const auto second = makeVisibleWindow();
  second->close();
  EXPECT_EQ(policy->asked, 0) << "another window is still visible";
  EXPECT_TRUE(first->isKeyWindow());
  first->close();
  EXPECT_EQ(policy->asked, 1);

  NotificationRecorder recorder({NSApplicationWillTerminateNotification}, NSApp());
  const auto terminates = std::make_shared<LastWindowPolicy>(true);
  NSApp()->setDelegate(terminates);
  makeVisibleWindow()->close();
  EXPECT_EQ(recorder.posted().size(), 1u) << "YES terminates the application";
  EXPECT_TRUE(applicationRunReturnsAtOnce());
}

}  // namespace
