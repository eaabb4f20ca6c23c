#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "macos/Flutter/engine/DesktopControl.h"
#include "platform/AppKit/NSApplication.h"
#include "platform/AppKit/NSScreen.h"
#include "platform/AppKit/NSWindow.h"
#include "platform/desktop/WindowServerControl.h"
#include "platform/desktop/model/ModelScreens.h"
#include "scale/ScaleTesting.h"

namespace {

using scale_testing::BackingChanges;
using scale_testing::openWindow;
using scale_testing::screen;

FlutterMethodReply desktop(const std::string& method, EncodableValue arguments = {}) {
  return DesktopControl::shared().handle(FlutterMethodCall{method, std::move(arguments)});
}

EncodableValue screensValue(std::initializer_list<platform::ScreenDescription> screens) {
  EncodableList list;
  for (const auto& s : screens) {
    list.push_back(EncodableMap{{"frame", EncodableList{s.x, s.y, s.width, s.height}},
                                {"backingScaleFactor", s.backingScaleFactor}});
  }
  return list;
}

bool isBadArguments(const FlutterMethodReply& reply) {
  const auto* error = std::get_if<FlutterError>(&reply);
  return error != nullptr && error->code == "bad-arguments";
}

class DesktopScreens : public DesktopTest {};

TEST_F(DesktopScreens, ListsTheScreensAndTheMainOne) {
  const auto reply = desktop("screens");
  const EncodableMap expected{
      {"screens", EncodableList{EncodableMap{{"frame", EncodableList{0.0, 0.0, 1440.0, 900.0}},
                                             {"backingScaleFactor", 2.0}}}},
      {"mainScreen", int32_t{0}}};
  ASSERT_TRUE(std::holds_alternative<EncodableValue>(reply));
  EXPECT_EQ(std::get<EncodableValue>(reply), EncodableValue(expected));
}

TEST_F(DesktopScreens, SetScreensReplacesThemAndAnnouncesEachChangedFactor) {
  ASSERT_EQ(desktop("setScreens",
                    EncodableMap{{"screens", screensValue({screen(0, 2.0), screen(1440, 1.0)})},
                                 {"mainScreen", int64_t{1}}}),
            FlutterMethodReply(EncodableValue()));
  EXPECT_EQ(platform::mainScreenIndex(), std::optional<size_t>(1));
  const auto left = openWindow(CGRectMake(100, 100, 400, 300));
  const auto right = openWindow(CGRectMake(1540, 100, 400, 300));
  ASSERT_EQ(platform::WindowServerControl::screenIndex(*right), std::optional<size_t>(1));
  BackingChanges leftChanges(left), rightChanges(right);

  // Same factors: the windows stay where they are and nothing is announced.
  desktop("setScreens",
          EncodableMap{{"screens", screensValue({screen(0, 2.0), screen(1440, 1.0)})}});
  EXPECT_EQ(leftChanges.count(), 0);
  EXPECT_EQ(rightChanges.count(), 0);
  // Left out, there is no main screen.
  EXPECT_EQ(platform::mainScreenIndex(), std::nullopt);

  // The second screen goes away: its window moves to the first, of another factor.
  desktop("setScreens", EncodableMap{{"screens", screensValue({screen(0, 2.0)})}});
  EXPECT_EQ(platform::WindowServerControl::screenIndex(*right), std::optional<size_t>(0));
  EXPECT_EQ(right->backingScaleFactor(), 2.0);
  EXPECT_EQ(leftChanges.count(), 0);
  EXPECT_EQ(rightChanges.count(), 1);

  // The first screen changes its factor: both windows announce it.
  desktop("setScreens", EncodableMap{{"screens", screensValue({screen(0, 3.0)})}});
  EXPECT_EQ(leftChanges.count(), 1);
  EXPECT_EQ(rightChanges.count(), 2);

  // No screen at all: no main screen, and the windows fall back to factor 1.0.
  desktop("setScreens",
          EncodableMap{{"screens", EncodableList{}}, {"mainScreen", EncodableValue()}});
  EXPECT_EQ(left->screen(), nullptr);
  EXPECT_EQ(left->backingScaleFactor(), 1.0);
  EXPECT_EQ(leftChanges.count(), 2);
  EXPECT_EQ(
      std::get<EncodableValue>(desktop("screens")),
      EncodableValue(EncodableMap{{"screens", EncodableList{}}, {"mainScreen", EncodableValue()}}));
}

TEST_F(DesktopScreens, MovingAWindowKeepsItsPlaceAndAnnouncesOnlyAChangeOfFactor) {
  platform::setScreens({screen(0, 2.0), screen(1440, 1.0), screen(2880, 1.0)}, 0);
  const auto window = openWindow(CGRectMake(100, 150, 400, 300));
  platform::WindowServerControl::setInterfaceWindow(window);
  BackingChanges changes(window);

  desktop("moveWindowToScreen",
          EncodableMap{{"window", int64_t{window->windowNumber()}}, {"screen", int64_t{1}}});
  EXPECT_EQ(platform::WindowServerControl::screenIndex(*window), std::optional<size_t>(1));
  EXPECT_EQ(window->frame(), CGRectMake(1540, 150, 400, 300));
  EXPECT_EQ(window->backingScaleFactor(), 1.0);
  EXPECT_EQ(changes.count(), 1);

  // Left out, the window is the main window; the same factor announces nothing.
  desktop("moveWindowToScreen", EncodableMap{{"screen", int64_t{2}}});
  EXPECT_EQ(window->frame(), CGRectMake(2980, 150, 400, 300));
  EXPECT_EQ(changes.count(), 1);

  desktop("moveWindowToScreen", EncodableMap{{"screen", int64_t{0}}});
  EXPECT_EQ(window->backingScaleFactor(), 2.0);
  EXPECT_EQ(changes.count(), 2);
}

TEST_F(DesktopScreens, ChangeBackingPropertiesAnnouncesWithoutChangingTheFactor) {
  const auto window = openWindow(CGRectMake(100, 150, 400, 300));
  const auto other = openWindow(CGRectMake(100, 150, 400, 300));
  BackingChanges changes(window), otherChanges(other);
  desktop("changeBackingProperties", EncodableMap{{"window", int64_t{window->windowNumber()}}});
  EXPECT_EQ(changes.count(), 1);
  EXPECT_EQ(otherChanges.count(), 0);
  EXPECT_EQ(window->backingScaleFactor(), 2.0);
}

TEST_F(DesktopScreens, RefusesArgumentsItCannotUse) {
  const auto window = openWindow(CGRectMake(100, 150, 400, 300));
  BackingChanges changes(window);
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const auto withFactor = [](double factor) {
    return EncodableMap{
        {"screens", EncodableList{EncodableMap{{"frame", EncodableList{0.0, 0.0, 10.0, 10.0}},
                                               {"backingScaleFactor", factor}}}}};
  };
  EXPECT_TRUE(isBadArguments(desktop("setScreens", withFactor(nan))));
  EXPECT_TRUE(isBadArguments(desktop("setScreens", withFactor(0.0))));
  EXPECT_TRUE(isBadArguments(desktop("setScreens", withFactor(-2.0))));
  EXPECT_TRUE(isBadArguments(desktop(
      "setScreens",
      EncodableMap{{"screens", EncodableList{EncodableMap{{"frame", EncodableList{0.0, 0.0, 10.0}},
                                                          {"backingScaleFactor", 1.0}}}}})));
  EXPECT_TRUE(
      isBadArguments(desktop("setScreens", EncodableMap{{"screens", screensValue({screen(0, 1.0)})},
                                                        {"mainScreen", int64_t{1}}})));
  EXPECT_TRUE(isBadArguments(desktop("setScreens", EncodableValue("screens"))));
  EXPECT_TRUE(isBadArguments(
      desktop("moveWindowToScreen",
              EncodableMap{{"window", int64_t{window->windowNumber()}}, {"screen", int64_t{1}}})));
  EXPECT_TRUE(isBadArguments(desktop(
      "moveWindowToScreen", EncodableMap{{"window", int64_t{9999}}, {"screen", int64_t{0}}})));
  EXPECT_TRUE(isBadArguments(desktop("changeBackingProperties", EncodableMap{{"window", "main"}})));
  // No interface window was recorded, so leaving the window out names none.
  EXPECT_TRUE(isBadArguments(desktop("changeBackingProperties")));

  EXPECT_EQ(NSScreen::screens().size(), 1u);
  EXPECT_EQ(NSScreen::screens()[0]->backingScaleFactor(), 2.0);
  EXPECT_EQ(changes.count(), 0);
}

}  // namespace
