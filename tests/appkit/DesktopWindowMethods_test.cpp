#include <gtest/gtest.h>

#include "macos/Flutter/engine/DesktopControl.h"
#include "platform/AppKit/NSPanel.h"
#include "platform/desktop/WindowServerControl.h"
#include "support/DesktopFixture.h"

namespace {

class DesktopWindowMethods : public DesktopTest {
 protected:
  static FlutterMethodReply call(const std::string& method, EncodableMap arguments = {}) {
    return DesktopControl::shared().handle(
        FlutterMethodCall::methodCallWithMethodName(method, EncodableValue(std::move(arguments))));
  }
  static EncodableValue value(const FlutterMethodReply& reply) {
    const auto* result = std::get_if<EncodableValue>(&reply);
    if (result == nullptr) {
      ADD_FAILURE() << "not a value: "
                    << (std::holds_alternative<FlutterError>(reply)
                            ? std::get<FlutterError>(reply).message.value_or("")
                            : "not implemented");
      return EncodableValue();
    }
    return *result;
  }
  static bool isBadArguments(const FlutterMethodReply& reply) {
    const auto* error = std::get_if<FlutterError>(&reply);
    return error != nullptr && error->code == "bad-arguments";
  }
  static EncodableValue id(const std::shared_ptr<NSWindow>& window) {
    return EncodableValue(static_cast<int32_t>(window->windowNumber()));
  }
  // The interface's window, as NSApplicationMain records it.
  std::shared_ptr<NSWindow> mainWindow() {
    auto window = makeVisibleWindow();
    platform::WindowServerControl::setInterfaceWindow(window);
    return window;
  }
};

const EncodableValue& entry(const EncodableValue& map, const char* key) {
  static const EncodableValue missing;
  const EncodableValue* found = map.map() ? map.map()->find(key) : nullptr;
  return found ? *found : missing;
}

TEST_F(DesktopWindowMethods, WindowsReportsEveryKeyInOrder) {
  const auto window = mainWindow();
  window->setTitle("Main");
  window->setMinSize(NSMakeSize(300, 200));
  const auto panel = makeWindow<NSPanel>();
  const auto list = value(call("windows"));
  ASSERT_NE(list.list(), nullptr);
  ASSERT_EQ(list.list()->size(), 2u);
  const EncodableValue& map = (*list.list())[1];
  std::vector<std::string> keys;
  for (const auto& [key, unused] : *map.map()) keys.push_back(*key.string());
  EXPECT_EQ(keys, (std::vector<std::string>{"id",
                                            "class",
                                            "title",
                                            "frame",
                                            "visible",
                                            "key",
                                            "main",
                                            "zoomed",
                                            "miniaturized",
                                            "fullScreen",
                                            "minSize",
                                            "styleMask",
                                            "titleVisibility",
                                            "titlebarAppearsTransparent",
                                            "movableByWindowBackground",
                                            "hasToolbar",
                                            "delegateIsSelf",
                                            "hasContentViewController",
                                            "screen",
                                            "backingScaleFactor",
                                            "buttons",
                                            "dragEvents",
                                            "sheet"}));
  EXPECT_EQ(entry(map, "id"), id(window));
  EXPECT_EQ(entry(map, "class"), EncodableValue("NSWindow"));
  EXPECT_EQ(entry(map, "title"), EncodableValue("Main"));
  EXPECT_EQ(entry(map, "frame"), EncodableValue(EncodableList{100.0, 100.0, 800.0, 628.0}));
  EXPECT_EQ(entry(map, "visible"), EncodableValue(true));
  EXPECT_EQ(entry(map, "key"), EncodableValue(true));
  EXPECT_EQ(entry(map, "minSize"), EncodableValue(EncodableList{300.0, 200.0}));
  EXPECT_EQ(entry(map, "styleMask"), EncodableValue(static_cast<int32_t>(kStandardWindowStyle)));
  EXPECT_EQ(entry(map, "screen"), EncodableValue(0));
  EXPECT_EQ(entry(map, "backingScaleFactor"), EncodableValue(2.0));
  EXPECT_EQ(entry(map, "delegateIsSelf"), EncodableValue(false));
  EXPECT_EQ(entry(map, "sheet"), EncodableValue());
  const auto& buttons = entry(map, "buttons");
  ASSERT_EQ(buttons.list()->size(), 3u);
  EXPECT_EQ((*buttons.list())[2],
            EncodableValue(EncodableMap{{"kind", EncodableValue(2)},
                                        {"origin", EncodableList{47.0, 6.0}},
                                        {"size", EncodableList{14.0, 16.0}},
                                        {"superviewSize", EncodableList{800.0, 28.0}}}));
  EXPECT_EQ(entry((*list.list())[0], "class"), EncodableValue("NSPanel"));
  EXPECT_EQ(entry((*list.list())[0], "visible"), EncodableValue(false));
}

TEST_F(DesktopWindowMethods, ClickWindowButtonActsAsTheUser) {
  const auto window = mainWindow();
  EXPECT_EQ(value(call("clickWindowButton", {{"button", 2}})), EncodableValue());
  EXPECT_TRUE(window->isZoomed());
  value(call("clickWindowButton", {{"window", id(window)}, {"button", 0}}));
  EXPECT_TRUE(NSApp()->windows().empty()) << "no delegate refuses, so the window closes";

  const auto fixed = makeVisibleWindow(NSMakeRect(0, 0, 100, 100), NSWindowStyleMaskTitled);
  EXPECT_TRUE(isBadArguments(call("clickWindowButton", {{"window", id(fixed)}, {"button", 1}})));
  EXPECT_TRUE(isBadArguments(call("clickWindowButton", {{"window", id(fixed)}, {"button", 3}})));
  EXPECT_TRUE(isBadArguments(call("clickWindowButton", {{"window", 9999}, {"button", 0}})));
}

TEST_F(DesktopWindowMethods, MouseDownBecomesTheCurrentEvent) {
  const auto window = mainWindow();
  const auto reply = value(call("mouseDown", {{"location", EncodableList{12, 620.5}}}));
  const auto event = NSApp()->currentEvent();
  ASSERT_NE(event, nullptr);
  EXPECT_EQ(reply.integer(), std::optional<int64_t>(event->eventNumber()));
  EXPECT_EQ(event->type(), NSEventTypeLeftMouseDown);
  EXPECT_EQ(event->locationInWindow(), NSMakePoint(12, 620.5));
  EXPECT_EQ(event->window(), window);

  window->performWindowDragWithEvent(NSApp()->currentEvent());
  EXPECT_EQ(entry(value(call("windows")).list()->front(), "dragEvents"),
            EncodableValue(EncodableList{reply}));

  EXPECT_TRUE(isBadArguments(call("mouseDown", {{"location", EncodableList{1}}})));
  EXPECT_TRUE(isBadArguments(call("mouseDown", {{"location", "here"}})));
}

TEST_F(DesktopWindowMethods, ResizeWindowKeepsTheTopLeftAndTheMinimumSize) {
  const auto window = mainWindow();  // frame 100, 100, 800 x 628: top edge at 728
  window->setMinSize(NSMakeSize(500, 400));
  value(call("resizeWindow", {{"size", EncodableList{1000.0, 500.0}}}));
  EXPECT_EQ(window->frame(), NSMakeRect(100, 228, 1000, 500));
  value(call("resizeWindow", {{"size", EncodableList{10, 10}}}));
  EXPECT_EQ(window->frame(), NSMakeRect(100, 328, 500, 400));

  EXPECT_TRUE(isBadArguments(call("resizeWindow", {{"size", EncodableList{0, 10}}})));
  const auto fixed = makeVisibleWindow(NSMakeRect(0, 0, 100, 100), NSWindowStyleMaskTitled);
  EXPECT_TRUE(
      isBadArguments(call("resizeWindow", {{"window", id(fixed)}, {"size", EncodableList{5, 5}}})));
}

TEST_F(DesktopWindowMethods, SetFullScreenAndMakeKeyWindow) {
  const auto window = mainWindow();
  const auto other = makeVisibleWindow();
  value(call("setFullScreen", {{"on", true}}));
  EXPECT_TRUE(window->isFullScreen());
  value(call("setFullScreen", {{"on", true}}));
  EXPECT_TRUE(window->isFullScreen()) << "setting the same state twice does not toggle";
  value(call("setFullScreen", {{"on", false}}));
  EXPECT_FALSE(window->isFullScreen());
  EXPECT_TRUE(isBadArguments(call("setFullScreen", {})));

  ASSERT_TRUE(other->isKeyWindow());
  value(call("makeKeyWindow"));
  EXPECT_TRUE(window->isKeyWindow());
  EXPECT_TRUE(window->isMainWindow());
  window->orderOut(nullptr);
  EXPECT_TRUE(isBadArguments(call("makeKeyWindow")));
}

TEST_F(DesktopWindowMethods, OpenWindowPutsANewWindowAtTheFront) {
  const auto window = mainWindow();
  const auto panelId =
      value(call("openWindow", {{"class", "NSPanel"}, {"title", "Tools"}, {"visible", false}}));
  const auto panel = NSApp()->windowWithWindowNumber(*panelId.integer());
  ASSERT_NE(panel, nullptr);
  EXPECT_EQ(NSApp()->windows().front(), panel);
  EXPECT_EQ(panel->className(), "NSPanel");
  EXPECT_EQ(panel->title(), "Tools");
  EXPECT_FALSE(panel->isVisible());

  const auto otherId = value(call("openWindow", {{"class", "NSWindow"}}));
  const auto other = NSApp()->windowWithWindowNumber(*otherId.integer());
  EXPECT_TRUE(other->isVisible());
  EXPECT_EQ(NSApp()->windows().front(), other);
  EXPECT_TRUE(window->isKeyWindow()) << "opening a window does not take the focus";
  EXPECT_TRUE(isBadArguments(call("openWindow", {{"class", "NSView"}})));
}

TEST_F(DesktopWindowMethods, ReopenAndQuitReachTheApplication) {
  const auto window = mainWindow();
  EXPECT_EQ(value(call("reopenApplication")), EncodableValue(true));
  EXPECT_EQ(value(call("quit")), EncodableValue());
  EXPECT_TRUE(applicationRunReturnsAtOnce());
}

TEST_F(DesktopWindowMethods, BadCallsAreAnsweredAsSuch) {
  EXPECT_TRUE(isBadArguments(call("makeKeyWindow"))) << "no main window";
  EXPECT_TRUE(isBadArguments(DesktopControl::shared().handle(
      FlutterMethodCall::methodCallWithMethodName("makeKeyWindow", EncodableValue(3)))))
      << "arguments that are not a map";
  EXPECT_TRUE(std::holds_alternative<FlutterMethodNotImplementedType>(call("noSuchMethod")));
}

}  // namespace
