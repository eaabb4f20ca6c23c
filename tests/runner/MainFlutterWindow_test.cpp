#include <gtest/gtest.h>

#include "macos/Flutter/testing/InProcessDart.h"
#include "support/RunnerFixture.h"

namespace {

using MainWindowSetUp = RunnerTest;
using TrafficLights = RunnerTest;
using MainWindowClose = RunnerTest;

NSPoint originOf(const NSWindow& window, NSWindowButton kind) {
  return window.standardWindowButton(kind)->frame().origin;
}

// Each button's vertical centre, measured down from the top of its superview.
CGFloat centreBelowTop(const NSWindow& window, NSWindowButton kind) {
  const auto button = window.standardWindowButton(kind);
  const NSRect frame = button->frame();
  return CGRectGetHeight(button->superview()->frame()) - (frame.origin.y + frame.size.height / 2);
}

TEST_F(MainWindowSetUp, StylesTheWindowAroundTheFlutterView) {
  auto window = makeWindow<MainFlutterWindow>(NSMakeRect(320, 150, 800, 600));
  window->setToolbar(std::make_shared<NSToolbar>("tools"));
  window->setMovableByWindowBackground(true);
  window->awakeFromNib();

  EXPECT_EQ(window->titleVisibility(), NSWindowTitleHidden);
  EXPECT_TRUE(window->titlebarAppearsTransparent());
  EXPECT_EQ(window->styleMask(), kStandardWindowStyle | NSWindowStyleMaskFullSizeContentView);
  EXPECT_FALSE(window->isMovableByWindowBackground());
  EXPECT_EQ(window->toolbar(), nullptr);
  EXPECT_EQ(window->delegate().get(), static_cast<NSWindowDelegate*>(window.get()));

  const auto controller = controllerOf(*window);
  ASSERT_NE(controller, nullptr);
  EXPECT_EQ(window->contentView(), controller->view());
  EXPECT_EQ(controller->view()->window(), window);
  EXPECT_EQ(window->contentView()->frame(), NSMakeRect(0, 0, 800, 628))
      << "the Flutter view covers the whole window, title bar included";
}

TEST_F(MainWindowSetUp, InstallingTheControllerKeepsTheFrame) {
  const auto window = loadMainWindow(NSMakeRect(320, 150, 800, 600));
  EXPECT_EQ(window->frame(), NSMakeRect(320, 150, 800, 628));
}

TEST_F(MainWindowSetUp, RecordsTheWindowAndRegistersThePluginsInTableOrder) {
  const auto window = loadMainWindow();
  EXPECT_EQ(TolvekWindowState::window(), window);
  EXPECT_EQ(controllerOf(*window)->registrarKeys(), kRegisteredPluginKeys);

  const auto second = loadMainWindow();
  EXPECT_EQ(TolvekWindowState::window(), second) << "the later window replaces the earlier";
}

TEST_F(MainWindowSetUp, RegisteredPluginsAnswerOnTheEngine) {
  const auto window = loadMainWindow();
  const auto engine = controllerOf(*window)->engine();
  const auto dart = InProcessDart::attach(engine->binaryMessenger());

  const auto handle = dart->invokeMethod("irondash_engine_context", "getEngineHandle");
  ASSERT_TRUE(std::holds_alternative<EncodableValue>(handle));
  EXPECT_TRUE(std::get<EncodableValue>(handle).integer().has_value());
  EXPECT_EQ(dart->invokeMethod("irondash_engine_context", "getEngineHandle"), handle);
  EXPECT_EQ(dart->invokeMethod("super_native_extensions", "initialize"),
            FlutterMethodReply(EncodableValue()));
  EXPECT_EQ(dart->invokeMethod("super_native_extensions", "startDrag"),
            FlutterMethodReply(FlutterMethodNotImplemented));

  const auto otherWindow = loadMainWindow();
  const auto otherDart =
      InProcessDart::attach(controllerOf(*otherWindow)->engine()->binaryMessenger());
  EXPECT_NE(otherDart->invokeMethod("irondash_engine_context", "getEngineHandle"), handle)
      << "each engine has its own handle";
}

TEST_F(TrafficLights, ButtonsAreCentredSixteenPointsBelowTheTop) {
  const auto window = loadMainWindow();
  EXPECT_EQ(originOf(*window, NSWindowCloseButton), NSMakePoint(10, 4));
  EXPECT_EQ(originOf(*window, NSWindowMiniaturizeButton), NSMakePoint(30, 4));
  EXPECT_EQ(originOf(*window, NSWindowZoomButton), NSMakePoint(50, 4));
  EXPECT_EQ(centreBelowTop(*window, NSWindowZoomButton), 16);

  for (const auto kind : {NSWindowCloseButton, NSWindowMiniaturizeButton, NSWindowZoomButton})
    window->standardWindowButton(kind)->setFrameSize(NSMakeSize(14, 14));
  window->setFrame(NSMakeRect(320, 150, 900, 700), true);
  EXPECT_EQ(originOf(*window, NSWindowCloseButton), NSMakePoint(10, 5));
  EXPECT_EQ(originOf(*window, NSWindowZoomButton), NSMakePoint(50, 5));
  EXPECT_EQ(centreBelowTop(*window, NSWindowCloseButton), 16);
  EXPECT_EQ(window->standardWindowButton(NSWindowCloseButton)->frame().size, NSMakeSize(14, 14))
      << "placement keeps the size";
}

TEST_F(TrafficLights, AWindowWithoutAZoomButtonStillGetsTheOthersPlaced) {
  const auto window = loadMainWindow(
      NSMakeRect(0, 0, 400, 300),
      NSWindowStyleMaskTitled | NSWindowStyleMaskClosable | NSWindowStyleMaskMiniaturizable);
  EXPECT_EQ(window->standardWindowButton(NSWindowZoomButton), nullptr);
  EXPECT_EQ(originOf(*window, NSWindowCloseButton), NSMakePoint(10, 4));
  EXPECT_EQ(originOf(*window, NSWindowMiniaturizeButton), NSMakePoint(30, 4));
}

TEST_F(TrafficLights, AButtonWithoutSuperviewIsPassedOver) {
  const auto window = loadMainWindow();
  const auto miniaturize = window->standardWindowButton(NSWindowMiniaturizeButton);
  miniaturize->removeFromSuperview();
  miniaturize->setFrameOrigin(NSMakePoint(99, 99));
  window->setFrame(NSMakeRect(0, 0, 1000, 700), true);
  EXPECT_EQ(miniaturize->frame().origin, NSMakePoint(99, 99));
  EXPECT_EQ(originOf(*window, NSWindowZoomButton), NSMakePoint(50, 4));
}

TEST_F(TrafficLights, PlacementHoldsAfterResizeKeyMainAndLeavingFullScreen) {
  const auto window = loadMainWindow();
  window->makeKeyAndOrderFront(nullptr);
  const auto other = makeVisibleWindow();
  ASSERT_FALSE(window->isKeyWindow());
  const NSPoint placed = NSMakePoint(10, 4);

  window->setFrame(NSMakeRect(0, 0, 1000, 700), true);
  EXPECT_EQ(originOf(*window, NSWindowCloseButton), placed) << "after a resize";
  window->makeKeyWindow();
  EXPECT_EQ(originOf(*window, NSWindowCloseButton), placed) << "after becoming key";
  window->makeMainWindow();
  EXPECT_EQ(originOf(*window, NSWindowCloseButton), placed) << "after becoming main";
  window->toggleFullScreen(nullptr);
  window->toggleFullScreen(nullptr);
  EXPECT_EQ(originOf(*window, NSWindowCloseButton), placed) << "after leaving full screen";
  window->zoom(nullptr);
  EXPECT_EQ(originOf(*window, NSWindowZoomButton), NSMakePoint(50, 4)) << "after zooming";
}

TEST_F(TrafficLights, ThePlacementQueuedAtLoadRunsFromTheMainQueue) {
  const auto window = loadMainWindow();
  window->standardWindowButton(NSWindowCloseButton)->setFrameOrigin(NSMakePoint(7, 6));
  platform::RunLoop::main().runUntilIdle();
  EXPECT_EQ(originOf(*window, NSWindowCloseButton), NSMakePoint(10, 4));
}

TEST_F(TrafficLights, TheQueuedPlacementDoesNotKeepTheWindowAlive) {
  std::weak_ptr<MainFlutterWindow> gone;
  {
    const auto window = loadMainWindow();
    gone = window;
  }
  TolvekWindowState::setWindow(nullptr);
  platform::WindowServerControl::resetDesktopForTesting();
  EXPECT_TRUE(gone.expired());
  EXPECT_GT(platform::mainQueue().pendingCount(), 0u);
  platform::RunLoop::main().runUntilIdle();  // the queued placement finds no window
}

TEST_F(MainWindowClose, ClosingOnlyHidesTheWindowWhichStaysRecorded) {
  const auto window = loadMainWindow();
  window->makeKeyAndOrderFront(nullptr);

  window->standardWindowButton(NSWindowCloseButton)->performClick(nullptr);
  EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(TolvekWindowState::window(), window);
  EXPECT_EQ(NSApp()->windows().size(), 1u) << "still one of the application's windows";

  window->makeKeyAndOrderFront(nullptr);
  EXPECT_TRUE(window->isVisible());
  window->performClose(nullptr);
  EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(NSApp()->windows().size(), 1u);

  window->makeKeyAndOrderFront(nullptr);
  EXPECT_TRUE(window->isVisible());
  EXPECT_TRUE(window->isKeyWindow());
}

}  // namespace
