#include "macos/Runner/SystemScale.h"

#include <gtest/gtest.h>

#include "macos/Flutter/FlutterViewController.h"
#include "macos/Flutter/testing/InProcessDart.h"
#include "macos/Runner/MainFlutterWindow.h"
#include "macos/Runner/TolvekWindowState.h"
#include "platform/AppKit/NSScreen.h"
#include "platform/desktop/WindowServerControl.h"
#include "platform/dispatch/NSNotificationCenter.h"
#include "scale/ScaleTesting.h"

namespace {

using scale_testing::openWindow;
using scale_testing::screen;

const std::string kMethods = "tolvek/system_scale";
const std::string kEvents = "tolvek/system_scale/events";

class SystemScaleTest : public DesktopTest {
 protected:
  void SetUp() override {
    DesktopTest::SetUp();
    window = openWindow(CGRectMake(100, 100, 800, 600));
    controller = FlutterViewController::create();
    dart = InProcessDart::attach(controller->engine()->binaryMessenger());
    scale = std::make_shared<SystemScale>();
    scale->registerController(controller, window);
  }

  FlutterMethodReply getScale() { return dart->invokeMethod(kMethods, "getScale"); }
  FlutterMethodReply listen() { return dart->invokeMethod(kEvents, "listen"); }
  FlutterMethodReply cancel() { return dart->invokeMethod(kEvents, "cancel"); }
  std::vector<EncodableValue> events() const { return dart->events(kEvents); }
  // The desktop puts the screens in place and moves the window to screen `index`.
  void showOn(std::vector<platform::ScreenDescription> screens, size_t index) {
    platform::WindowServerControl::replaceScreens(screens, 0);
    platform::WindowServerControl::moveWindowToScreen(window, index);
  }

  std::shared_ptr<NSWindow> window;
  std::shared_ptr<FlutterViewController> controller;
  std::shared_ptr<InProcessDart> dart;
  std::shared_ptr<SystemScale> scale;
};

FlutterMethodReply value(double scale) { return FlutterMethodReply(EncodableValue(scale)); }

TEST_F(SystemScaleTest, AnswersTheWindowsFactorAndSendsItWhenListeningStarts) {
  EXPECT_EQ(getScale(), value(2.0));
  EXPECT_EQ(listen(), FlutterMethodReply(EncodableValue()));
  EXPECT_EQ(events(), std::vector<EncodableValue>{EncodableValue(2.0)});
}

TEST_F(SystemScaleTest, ClampsTheFactorToHalfAndFour) {
  const std::vector<std::pair<double, double>> cases = {{5.0, 4.0}, {4.0, 4.0}, {3.999, 3.999},
                                                        {1.0, 1.0}, {0.5, 0.5}, {0.25, 0.5}};
  for (const auto& [factor, reported] : cases) {
    showOn({screen(0, factor)}, 0);
    EXPECT_EQ(getScale(), value(reported)) << "factor " << factor;
  }
}

TEST_F(SystemScaleTest, FallsBackToTheMainScreenThenToOne) {
  showOn({screen(0, 2.0), screen(1440, 3.0)}, 0);
  platform::WindowServerControl::replaceScreens({screen(0, 2.0), screen(1440, 3.0)}, 1);
  const std::weak_ptr<NSWindow> closed = window;
  window->close();
  window.reset();
  ASSERT_TRUE(closed.expired());
  EXPECT_EQ(getScale(), value(3.0));
  platform::WindowServerControl::replaceScreens({}, std::nullopt);
  EXPECT_EQ(getScale(), value(1.0));
}

TEST_F(SystemScaleTest, AWindowWithoutAScreenReportsOne) {
  platform::WindowServerControl::replaceScreens({}, std::nullopt);
  EXPECT_EQ(getScale(), value(1.0));
}

TEST_F(SystemScaleTest, SendsAnEventForEachBackingChangeOfTheWindowWhileListening) {
  showOn({screen(0, 2.0), screen(1440, 1.0)}, 0);
  listen();
  platform::WindowServerControl::moveWindowToScreen(window, 1);
  platform::WindowServerControl::moveWindowToScreen(window, 0);
  // Unchanged factor: an event all the same, with the same value.
  platform::WindowServerControl::windowDidChangeBackingProperties(*window);
  EXPECT_EQ(events(), (std::vector<EncodableValue>{2.0, 1.0, 2.0, 2.0}));
}

TEST_F(SystemScaleTest, IgnoresBackingChangesOfOtherWindows) {
  const auto other = openWindow(CGRectMake(0, 0, 300, 200));
  listen();
  platform::WindowServerControl::windowDidChangeBackingProperties(*other);
  EXPECT_EQ(events().size(), 1u);
}

TEST_F(SystemScaleTest, CancelStopsTheEventsButKeepsAnswering) {
  const size_t observers = NSNotificationCenter::defaultCenter()->observerCount();
  showOn({screen(0, 2.0), screen(1440, 1.0)}, 0);
  listen();
  EXPECT_EQ(cancel(), FlutterMethodReply(EncodableValue()));
  platform::WindowServerControl::moveWindowToScreen(window, 1);
  EXPECT_EQ(events(), std::vector<EncodableValue>{EncodableValue(2.0)});
  EXPECT_EQ(getScale(), value(1.0));
  EXPECT_EQ(NSNotificationCenter::defaultCenter()->observerCount(), observers);
  // Listening again resumes with the current factor.
  listen();
  EXPECT_EQ(events(), (std::vector<EncodableValue>{2.0, 1.0}));
}

TEST_F(SystemScaleTest, ListeningTwiceSendsOneEventPerListenAndLaterOnesOnce) {
  listen();
  listen();
  EXPECT_EQ(events().size(), 2u);
  platform::WindowServerControl::windowDidChangeBackingProperties(*window);
  EXPECT_EQ(events().size(), 3u);
}

TEST_F(SystemScaleTest, OtherMethodsAreNotImplemented) {
  EXPECT_EQ(dart->invokeMethod(kMethods, "GetScale"),
            FlutterMethodReply(FlutterMethodNotImplemented));
  EXPECT_EQ(dart->invokeMethod(kMethods, "getScales"),
            FlutterMethodReply(FlutterMethodNotImplemented));
  // Arguments are ignored.
  EXPECT_EQ(dart->invokeMethod(kMethods, "getScale", EncodableMap{{"x", 1}}), value(2.0));
}

TEST_F(SystemScaleTest, HandlersOutlivingTheObjectAnswerOneAndIgnoreNotifications) {
  listen();
  dart->clearReceived();
  // The event channel holds its stream handler; once it lets go, only weak references
  // to the object are left, and they no longer reach it.
  FlutterEventChannel::eventChannelWithName(kEvents, controller->engine()->binaryMessenger())
      ->setStreamHandler(nullptr);
  const std::weak_ptr<SystemScale> gone = scale;
  scale.reset();
  ASSERT_TRUE(gone.expired());
  EXPECT_EQ(getScale(), value(1.0));
  platform::WindowServerControl::windowDidChangeBackingProperties(*window);
  EXPECT_TRUE(dart->received().empty());
}

TEST_F(SystemScaleTest, ASecondRegistrationReplacesTheObserver) {
  const size_t observers = NSNotificationCenter::defaultCenter()->observerCount();
  const auto secondController = FlutterViewController::create();
  const auto secondDart = InProcessDart::attach(secondController->engine()->binaryMessenger());
  scale->registerController(secondController, window);
  EXPECT_EQ(NSNotificationCenter::defaultCenter()->observerCount(), observers);

  secondDart->invokeMethod(kEvents, "listen");
  platform::WindowServerControl::windowDidChangeBackingProperties(*window);
  EXPECT_EQ(secondDart->events(kEvents), (std::vector<EncodableValue>{2.0, 2.0}));
  EXPECT_EQ(secondDart->invokeMethod(kMethods, "getScale"), value(2.0));
}

TEST_F(SystemScaleTest, ASecondRegistrationFollowsTheNewWindow) {
  const auto other = openWindow(CGRectMake(0, 0, 300, 200));
  scale->registerController(controller, other);
  listen();
  platform::WindowServerControl::windowDidChangeBackingProperties(*window);
  platform::WindowServerControl::windowDidChangeBackingProperties(*other);
  EXPECT_EQ(events().size(), 2u);
}

}  // namespace

namespace {

class MainWindowScale : public DesktopTest {
 protected:
  void TearDown() override {
    TolvekWindowState::setWindow(nullptr);
    DesktopTest::TearDown();
  }
};

TEST_F(MainWindowScale, TheMainWindowsSetUpRegistersTheChannelsForItself) {
  const auto window = makeWindow<MainFlutterWindow>();
  window->awakeFromNib();
  const auto controller =
      std::dynamic_pointer_cast<FlutterViewController>(window->contentViewController());
  ASSERT_NE(controller, nullptr);
  const auto messenger = controller->engine()->binaryMessenger();
  EXPECT_TRUE(messenger->hasHandler(kMethods));
  EXPECT_TRUE(messenger->hasHandler(kEvents));

  const auto dart = InProcessDart::attach(messenger);
  platform::WindowServerControl::replaceScreens({screen(0, 2.0), screen(1440, 1.0)}, 0);
  platform::WindowServerControl::moveWindowToScreen(window, 1);
  EXPECT_EQ(dart->invokeMethod(kMethods, "getScale"), value(1.0));
  dart->invokeMethod(kEvents, "listen");
  platform::WindowServerControl::moveWindowToScreen(window, 0);
  EXPECT_EQ(dart->events(kEvents), (std::vector<EncodableValue>{1.0, 2.0}));
}

}  // namespace
