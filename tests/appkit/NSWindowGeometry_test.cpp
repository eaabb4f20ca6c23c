#include <gtest/gtest.h>

#include "platform/AppKit/NSScreen.h"
#include "platform/desktop/WindowServerControl.h"
#include "platform/desktop/model/ModelScreens.h"
#include "support/DesktopFixture.h"

namespace {

class SizedViewController : public NSViewController {
 public:
  explicit SizedViewController(NSSize size) : view_(std::make_shared<NSView>(NSRect{{}, size})) {}
  std::shared_ptr<NSView> view() override { return view_; }

 private:
  std::shared_ptr<NSView> view_;
};

class ResizeCounter : public NSWindowDelegate {
 public:
  void windowDidResize(const NSNotification&) override { ++resizes; }
  int resizes = 0;
};

using WindowGeometry = DesktopTest;

TEST_F(WindowGeometry, FrameIsTheContentAreaWithTheTitleBarAbove) {
  const auto window = makeWindow(NSMakeRect(100, 100, 800, 600));
  EXPECT_EQ(window->frame(), NSMakeRect(100, 100, 800, 628));
  EXPECT_EQ(window->contentView()->frame(), NSMakeRect(0, 0, 800, 600));

  window->setStyleMask(window->styleMask() | NSWindowStyleMaskFullSizeContentView);
  EXPECT_EQ(window->frame(), NSMakeRect(100, 100, 800, 628)) << "restyling keeps the frame";
  EXPECT_EQ(window->contentView()->frame(), NSMakeRect(0, 0, 800, 628))
      << "a full-size content view reaches under the title bar";

  const auto borderless = makeWindow(NSMakeRect(0, 0, 300, 200), NSWindowStyleMaskBorderless);
  EXPECT_EQ(borderless->frame(), NSMakeRect(0, 0, 300, 200));
}

TEST_F(WindowGeometry, ContentViewControllerGivesItsViewAndItsSize) {
  const auto window = makeWindow(NSMakeRect(100, 100, 800, 600));
  const auto controller = std::make_shared<SizedViewController>(NSMakeSize(400, 300));
  window->setContentViewController(controller);

  EXPECT_EQ(window->contentViewController(), controller);
  EXPECT_EQ(window->contentView(), controller->view());
  EXPECT_EQ(controller->view()->window(), window);
  // The window takes the view's size, keeping its top-left corner.
  EXPECT_EQ(window->frame(), NSMakeRect(100, 400, 400, 328));
}

TEST_F(WindowGeometry, SetFrameAnnouncesMovesAndResizesSeparately) {
  const auto window = makeWindow(NSMakeRect(100, 100, 800, 600));
  const auto delegate = std::make_shared<ResizeCounter>();
  window->setDelegate(delegate);
  NotificationRecorder recorder({NSWindowDidMoveNotification, NSWindowDidResizeNotification},
                                window);

  window->setFrame(NSMakeRect(50, 100, 800, 628), true);
  EXPECT_EQ(recorder.posted(), std::vector<std::string>{NSWindowDidMoveNotification});
  EXPECT_EQ(delegate->resizes, 0);

  recorder.clear();
  window->setFrame(NSMakeRect(50, 100, 900, 628), true);
  EXPECT_EQ(recorder.posted(), std::vector<std::string>{NSWindowDidResizeNotification});
  EXPECT_EQ(delegate->resizes, 1);

  recorder.clear();
  window->setFrame(NSMakeRect(50, 100, 900, 628), true);
  EXPECT_TRUE(recorder.posted().empty()) << "an unchanged frame announces nothing";
}

TEST_F(WindowGeometry, NotificationsReachOnlyTheObserversOfThatWindow) {
  const auto first = makeWindow();
  const auto second = makeWindow();
  NotificationRecorder recorder({NSWindowDidResizeNotification}, first);
  second->setFrame(NSMakeRect(0, 0, 10, 10), true);
  EXPECT_TRUE(recorder.posted().empty());
  first->setFrame(NSMakeRect(0, 0, 10, 10), true);
  EXPECT_EQ(recorder.posted().size(), 1u);
}

TEST_F(WindowGeometry, ZoomTogglesBetweenTheUserFrameAndTheVisibleFrame) {
  const auto window = makeVisibleWindow(NSMakeRect(100, 100, 800, 600));
  const NSRect userFrame = window->frame();
  ASSERT_FALSE(window->isZoomed());

  window->zoom(nullptr);
  EXPECT_TRUE(window->isZoomed());
  EXPECT_EQ(window->frame(), NSMakeRect(0, 0, 1440, 875)) << "the screen less the menu bar";

  window->zoom(nullptr);
  EXPECT_FALSE(window->isZoomed());
  EXPECT_EQ(window->frame(), userFrame);

  window->zoom(nullptr);
  window->setFrame(NSMakeRect(0, 0, 1000, 875), true);
  EXPECT_FALSE(window->isZoomed()) << "a resized window is no longer zoomed";
}

TEST_F(WindowGeometry, ZoomButtonActsOnlyOnResizableWindows) {
  const auto fixed = makeVisibleWindow(NSMakeRect(100, 100, 400, 300),
                                       NSWindowStyleMaskTitled | NSWindowStyleMaskClosable);
  fixed->performZoom(nullptr);
  EXPECT_FALSE(fixed->isZoomed());
  fixed->zoom(nullptr);
  EXPECT_TRUE(fixed->isZoomed()) << "zoom: itself works on any window";
}

TEST_F(WindowGeometry, CenterPlacesTheWindowSomewhatAboveTheMiddle) {
  const auto window = makeWindow(NSMakeRect(0, 0, 800, 600));  // frame 800 x 628
  window->center();
  // Visible frame 1440 x 875: 247 points to spare, a third of them above.
  EXPECT_EQ(window->frame(), NSMakeRect(320, 165, 800, 628));
  const CGFloat above = 875 - CGRectGetMaxY(window->frame());
  const CGFloat below = window->frame().origin.y;
  EXPECT_LT(above, below);

  const auto tall = makeWindow(NSMakeRect(0, 0, 400, 1000));
  tall->center();
  EXPECT_EQ(CGRectGetMaxY(tall->frame()), 875) << "a tall window keeps its top in view";
  EXPECT_EQ(tall->frame().origin.x, 520);
}

TEST_F(WindowGeometry, FullScreenCoversTheScreenAndRestoresTheFrame) {
  const auto window = makeVisibleWindow(NSMakeRect(100, 100, 800, 600));
  const NSRect before = window->frame();
  NotificationRecorder recorder(
      {NSWindowWillEnterFullScreenNotification, NSWindowDidEnterFullScreenNotification,
       NSWindowWillExitFullScreenNotification, NSWindowDidExitFullScreenNotification},
      window);

  window->toggleFullScreen(nullptr);
  EXPECT_TRUE(window->isFullScreen());
  EXPECT_EQ(window->frame(), NSMakeRect(0, 0, 1440, 900));
  EXPECT_FALSE(window->isZoomed());

  window->toggleFullScreen(nullptr);
  EXPECT_FALSE(window->isFullScreen());
  EXPECT_EQ(window->frame(), before);
  EXPECT_EQ(recorder.posted(),
            (std::vector<std::string>{
                NSWindowWillEnterFullScreenNotification, NSWindowDidEnterFullScreenNotification,
                NSWindowWillExitFullScreenNotification, NSWindowDidExitFullScreenNotification}));

  const auto fixed = makeVisibleWindow(NSMakeRect(0, 0, 300, 200), NSWindowStyleMaskTitled);
  fixed->toggleFullScreen(nullptr);
  EXPECT_FALSE(fixed->isFullScreen()) << "a fixed-size window cannot go full screen";
}

TEST_F(WindowGeometry, WindowsLiveOnTheScreenShowingMostOfThem) {
  platform::ScreenDescription left{0, 0, 1440, 900, 2.0};
  platform::ScreenDescription right{1440, 0, 1920, 1080, 1.0};
  platform::setScreens({left, right}, 0);

  const auto onRight = makeWindow(NSMakeRect(1400, 100, 800, 600));
  EXPECT_EQ(platform::WindowServerControl::screenIndex(*onRight), std::optional<size_t>(1));
  EXPECT_EQ(onRight->backingScaleFactor(), 1.0);
  const auto offScreen = makeWindow(NSMakeRect(-5000, -5000, 100, 100));
  EXPECT_EQ(platform::WindowServerControl::screenIndex(*offScreen), std::optional<size_t>(0))
      << "the main screen";
  EXPECT_EQ(offScreen->backingScaleFactor(), 2.0);

  onRight->zoom(nullptr);
  EXPECT_EQ(onRight->frame(), NSMakeRect(1440, 0, 1920, 1055));

  platform::setScreens({}, std::nullopt);
  EXPECT_EQ(onRight->screen(), nullptr);
  EXPECT_EQ(onRight->backingScaleFactor(), 1.0);
  onRight->center();
  EXPECT_EQ(onRight->frame(), NSMakeRect(1440, 0, 1920, 1055)) << "nowhere to centre on";
}

TEST_F(WindowGeometry, BackingPropertyChangesReachDelegateAndObservers) {
  class Observer : public NSWindowDelegate {
   public:
    void windowDidChangeBackingProperties(const NSNotification&) override { ++changes; }
    int changes = 0;
  };
  const auto window = makeWindow();
  const auto delegate = std::make_shared<Observer>();
  window->setDelegate(delegate);
  NotificationRecorder recorder({NSWindowDidChangeBackingPropertiesNotification}, window);
  platform::WindowServerControl::windowDidChangeBackingProperties(*window);
  EXPECT_EQ(delegate->changes, 1);
  EXPECT_EQ(recorder.posted().size(), 1u);
}

}  // namespace
