// The system scale channel of the real host while a peer moves its window between screens
// of different densities.

#include "tests/e2e/HostTestSupport.h"

namespace {

using tolvekdart::EngineClient;

const std::string kMethods = "tolvek/system_scale";
const std::string kEvents = "tolvek/system_scale/events";

EncodableValue screen(double x, double factor) {
  return EncodableMap{{"frame", EncodableList{x, 0.0, 1440.0, 900.0}},
                      {"backingScaleFactor", factor}};
}

// The events the host has sent on the scale's event channel so far. Every request is
// answered after what the main thread sent before it, so a round trip first makes sure
// nothing is still on its way.
std::vector<EncodableValue> eventsSoFar(EngineClient& client) {
  client.invokeMethod(kMethods, "getScale");
  std::vector<EncodableValue> events;
  while (const auto message = client.nextHostMessage(EngineClient::Clock::now())) {
    if (message->channel != kEvents) continue;
    const auto event =
        FlutterStandardMethodCodec::sharedInstance()->decodeEnvelope(message->payload);
    if (const auto* value = std::get_if<EncodableValue>(&event)) events.push_back(*value);
  }
  return events;
}

using SystemScaleEndToEnd = HostTest;

TEST_F(SystemScaleEndToEnd, EventsFollowTheWindowAcrossScreensUntilCancelled) {
  auto client = attach();
  ASSERT_EQ(
      client.desktop("setScreens",
                     EncodableMap{{"screens", EncodableList{screen(0, 2.0), screen(1440, 1.0)}},
                                  {"mainScreen", int32_t{0}}}),
      FlutterMethodReply(EncodableValue()));
  client.desktop("moveWindowToScreen", EncodableMap{{"screen", int32_t{0}}});
  EXPECT_EQ(client.invokeMethod(kMethods, "getScale"), FlutterMethodReply(EncodableValue(2.0)));

  EXPECT_EQ(client.invokeMethod(kEvents, "listen"), FlutterMethodReply(EncodableValue()));
  client.desktop("moveWindowToScreen", EncodableMap{{"screen", int32_t{1}}});
  client.desktop("changeBackingProperties");
  EXPECT_EQ(eventsSoFar(client), (std::vector<EncodableValue>{2.0, 1.0, 1.0}));
  EXPECT_EQ(client.invokeMethod(kMethods, "getScale"), FlutterMethodReply(EncodableValue(1.0)));

  EXPECT_EQ(client.invokeMethod(kEvents, "cancel"), FlutterMethodReply(EncodableValue()));
  client.desktop("moveWindowToScreen", EncodableMap{{"screen", int32_t{0}}});
  EXPECT_TRUE(eventsSoFar(client).empty());
  EXPECT_EQ(client.invokeMethod(kMethods, "getScale"), FlutterMethodReply(EncodableValue(2.0)));
}

TEST_F(SystemScaleEndToEnd, AScreenChangingItsFactorIsReportedClamped) {
  auto client = attach();
  client.invokeMethod(kEvents, "listen");
  client.desktop("setScreens", EncodableMap{{"screens", EncodableList{screen(0, 6.0)}},
                                            {"mainScreen", int32_t{0}}});
  client.desktop("setScreens", EncodableMap{{"screens", EncodableList{screen(0, 0.25)}},
                                            {"mainScreen", int32_t{0}}});
  EXPECT_EQ(eventsSoFar(client), (std::vector<EncodableValue>{2.0, 4.0, 0.5}));
}

}  // namespace

namespace {

TEST_F(SystemScaleEndToEnd, AStreamEndsWithThePeerThatOpenedIt) {
  {
    auto first = attach();
    ASSERT_EQ(first.invokeMethod(kEvents, "listen"), FlutterMethodReply(EncodableValue()));
  }
  // The next peer never listened: a change of factor sends it nothing.
  auto next = attach();
  next.desktop("setScreens", EncodableMap{{"screens", EncodableList{screen(0, 3.0)}},
                                          {"mainScreen", int32_t{0}}});
  EXPECT_TRUE(eventsSoFar(next).empty());
  EXPECT_EQ(
      next.invokeMethod(kEvents, "cancel"),
      FlutterMethodReply(FlutterError{"error", "No active stream to cancel", EncodableValue()}));
}

}  // namespace
