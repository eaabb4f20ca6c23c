#include "macos/Runner/AppDelegate.h"

#include <gtest/gtest.h>

#include "platform/AppKit/NSPanel.h"
#include "platform/desktop/WindowServerControl.h"
#include "support/RunnerFixture.h"

namespace {

class Reopen : public RunnerTest {
 protected:
  void SetUp() override {
    RunnerTest::SetUp();
    NSApp()->setDelegate(delegate_);
  }
  std::shared_ptr<AppDelegate> delegate_ = std::make_shared<AppDelegate>();
};

using LastWindow = Reopen;

TEST_F(Reopen, WithVisibleWindowsNothingIsTouched) {
  const auto mainWindow = loadMainWindow();
  const auto other = makeVisibleWindow();
  EXPECT_TRUE(delegate_->applicationShouldHandleReopen(NSApp(), true));
  EXPECT_FALSE(mainWindow->isVisible());
  EXPECT_TRUE(other->isKeyWindow());

  EXPECT_TRUE(platform::WindowServerControl::reopen())
      << "the platform sees the visible window too";
  EXPECT_FALSE(mainWindow->isVisible());
}

TEST_F(Reopen, TheHiddenMainWindowComesBackKeyAndFrontmost) {
  const auto mainWindow = loadMainWindow();
  mainWindow->makeKeyAndOrderFront(nullptr);
  mainWindow->performClose(nullptr);
  ASSERT_FALSE(mainWindow->isVisible());

  EXPECT_TRUE(platform::WindowServerControl::reopen());
  EXPECT_TRUE(mainWindow->isVisible());
  EXPECT_TRUE(mainWindow->isKeyWindow());
  EXPECT_EQ(NSApp()->windows().front(), mainWindow);
}

TEST_F(Reopen, OtherWindowsAheadOfTheMainWindowArePassedOver) {
  const auto mainWindow = loadMainWindow();
  const auto plain = makeWindow();
  const auto panel = makeWindow<NSPanel>();
  ASSERT_EQ(NSApp()->windows().back(), mainWindow);

  EXPECT_TRUE(platform::WindowServerControl::reopen());
  EXPECT_TRUE(mainWindow->isVisible());
  EXPECT_FALSE(plain->isVisible());
  EXPECT_FALSE(panel->isVisible());
}

TEST_F(Reopen, OnlyTheFirstMainFlutterWindowInTheListIsShown) {
  const auto recorded = loadMainWindow();
  // A later one, ahead in the list but never recorded: the walk takes the list's order.
  const auto first = makeWindow<MainFlutterWindow>();
  ASSERT_EQ(TolvekWindowState::window(), recorded);

  EXPECT_TRUE(platform::WindowServerControl::reopen());
  EXPECT_TRUE(first->isVisible());
  EXPECT_FALSE(recorded->isVisible());
}

TEST_F(Reopen, WithoutAMainFlutterWindowNothingIsShown) {
  const auto plain = makeWindow();
  EXPECT_TRUE(delegate_->applicationShouldHandleReopen(NSApp(), false));
  EXPECT_FALSE(plain->isVisible());
  EXPECT_TRUE(platform::WindowServerControl::reopen());
  EXPECT_FALSE(plain->isVisible());
}

TEST_F(LastWindow, ClosingTheLastWindowLeavesTheApplicationRunning) {
  const auto mainWindow = loadMainWindow();
  mainWindow->orderOut(nullptr);
  const auto other = makeVisibleWindow();
  other->close();
  EXPECT_FALSE(platform::WindowServerControl::hasVisibleWindows());
  EXPECT_FALSE(applicationRunReturnsAtOnce()) << "the application was not terminated";
}

}  // namespace
