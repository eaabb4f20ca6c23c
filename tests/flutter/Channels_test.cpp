#include <gtest/gtest.h>

#include "macos/Flutter/FlutterBasicMessageChannel.h"
#include "macos/Flutter/FlutterEventChannel.h"
#include "macos/Flutter/FlutterMethodChannel.h"
#include "macos/Flutter/FlutterViewController.h"
#include "macos/Flutter/testing/InProcessDart.h"
#include "platform/dispatch/RunLoop.h"

#include <thread>

namespace {

class Channels : public ::testing::Test {
 protected:
  std::shared_ptr<FlutterEngine> engine = std::make_shared<FlutterEngine>();
  std::shared_ptr<FlutterEngineMessenger> messenger = engine->binaryMessenger();
  std::shared_ptr<InProcessDart> dart = InProcessDart::attach(messenger);
  const FlutterStandardMethodCodec& methods = *FlutterStandardMethodCodec::sharedInstance();
};

TEST_F(Channels, MethodCallsReachTheHandlerAndRepliesComeBack) {
  auto channel = FlutterMethodChannel::methodChannelWithName("test/method", messenger);
  channel->setMethodCallHandler([](const FlutterMethodCall& call, FlutterResult result) {
    if (call.method == "echo") return result(call.arguments);
    if (call.method == "fail")
      return result(FlutterError::errorWithCode("E", "boom", EncodableValue(1)));
    result(FlutterMethodNotImplemented);
  });
  EXPECT_EQ(dart->invokeMethod("test/method", "echo", EncodableValue("hi")),
            FlutterMethodReply(EncodableValue("hi")));
  EXPECT_EQ(dart->invokeMethod("test/method", "fail"),
            FlutterMethodReply(FlutterError{"E", "boom", EncodableValue(1)}));
  EXPECT_EQ(dart->invokeMethod("test/method", "Echo"),
            FlutterMethodReply(FlutterMethodNotImplemented));
}

TEST_F(Channels, UndecodableCallsAreAnsweredWithDecodeError) {
  bool called = false;
  FlutterMethodChannel::methodChannelWithName("test/method", messenger)
      ->setMethodCallHandler([&](const FlutterMethodCall&, FlutterResult result) {
        called = true;
        result(EncodableValue());
      });
  for (const FlutterBinaryMessage& bad :
       {FlutterBinaryMessage{}, FlutterBinaryMessage{3, 1, 0, 0, 0, 0},
        FlutterBinaryMessage{7, 5, 'h'}}) {
    const auto reply = methods.decodeEnvelope(dart->send("test/method", bad));
    ASSERT_TRUE(std::holds_alternative<FlutterError>(reply));
    EXPECT_EQ(std::get<FlutterError>(reply).code, "decode-error");
  }
  EXPECT_FALSE(called);
}

TEST_F(Channels, AResultDroppedUnansweredRepliesNull) {
  FlutterMethodChannel::methodChannelWithName("test/method", messenger)
      ->setMethodCallHandler([](const FlutterMethodCall&, FlutterResult) {});
  EXPECT_EQ(dart->invokeMethod("test/method", "anything"), FlutterMethodReply(EncodableValue()));
}

TEST_F(Channels, AResultAnsweredLaterFromAnotherThreadStillArrivesOnce) {
  FlutterResult kept;
  FlutterMethodChannel::methodChannelWithName("test/method", messenger)
      ->setMethodCallHandler(
          [&](const FlutterMethodCall&, FlutterResult result) { kept = result; });
  std::optional<FlutterBinaryMessage> reply;
  messenger->handleMessageFromDart("test/method", methods.encodeMethodCall({"later", {}}),
                                   [&](FlutterBinaryMessage bytes) { reply = bytes; });
  platform::RunLoop::main().runUntilIdle();
  EXPECT_FALSE(reply.has_value());
  std::thread([kept] { kept(EncodableValue(42)); }).join();
  ASSERT_TRUE(reply.has_value());
  EXPECT_EQ(methods.decodeEnvelope(*reply), FlutterMethodReply(EncodableValue(42)));
}

#if !defined(TOLVEK_DEBUG_CHECKS)
TEST_F(Channels, ASecondAnswerIsDroppedInReleaseBuilds) {
  int replies = 0;
  FlutterResult result([&](FlutterMethodReply) { ++replies; });
  result(EncodableValue(1));
  result(EncodableValue(2));
  EXPECT_EQ(replies, 1);
}
#else
TEST_F(Channels, ASecondAnswerIsAProgrammingErrorInDebugBuilds) {
  EXPECT_DEATH(
      {
        FlutterResult result([](FlutterMethodReply) {});
        result(EncodableValue(1));
        result(EncodableValue(2));
      },
      "answered twice");
}
#endif

TEST_F(Channels, NoHandlerMeansAnEmptyReply) {
  EXPECT_TRUE(dart->send("nobody/listens", methods.encodeMethodCall({"x", {}})).empty());
  auto channel = FlutterMethodChannel::methodChannelWithName("test/method", messenger);
  channel->setMethodCallHandler(
      [](const FlutterMethodCall&, FlutterResult r) { r(EncodableValue(1)); });
  channel->setMethodCallHandler(nullptr);
  EXPECT_TRUE(dart->send("test/method", methods.encodeMethodCall({"x", {}})).empty());
}

class CountingStream : public FlutterStreamHandler {
 public:
  std::optional<FlutterError> onListenWithArguments(const EncodableValue& arguments,
                                                    FlutterEventSink events) override {
    ++listens;
    sink = events;
    lastArguments = arguments;
    events(EncodableValue(listens));
    return std::nullopt;
  }
  std::optional<FlutterError> onCancelWithArguments(const EncodableValue&) override {
    ++cancels;
    return std::nullopt;
  }
  int listens = 0, cancels = 0;
  FlutterEventSink sink;
  EncodableValue lastArguments;
};

TEST_F(Channels, EventChannelsFollowTheListenAndCancelProtocol) {
  auto stream = std::make_shared<CountingStream>();
  FlutterEventChannel::eventChannelWithName("test/events", messenger)->setStreamHandler(stream);

  // Cancel with no active stream is an error.
  EXPECT_EQ(
      dart->invokeMethod("test/events", "cancel"),
      FlutterMethodReply(FlutterError{"error", "No active stream to cancel", EncodableValue()}));

  EXPECT_EQ(dart->invokeMethod("test/events", "listen", EncodableValue("args")),
            FlutterMethodReply(EncodableValue()));
  EXPECT_EQ(stream->lastArguments, EncodableValue("args"));
  const auto first = stream->sink;
  // Listening again ends the first stream before the second starts; the first sink is dead.
  EXPECT_EQ(dart->invokeMethod("test/events", "listen"), FlutterMethodReply(EncodableValue()));
  EXPECT_EQ(stream->cancels, 1);
  first(EncodableValue("stale"));
  stream->sink(EncodableValue("fresh"));
  EXPECT_EQ(
      dart->events("test/events"),
      (std::vector<EncodableValue>{EncodableValue(1), EncodableValue(2), EncodableValue("fresh")}));
  stream->sink(FlutterError::errorWithCode("E"));
  stream->sink.endOfStream();
  const auto received = dart->received();
  EXPECT_EQ(methods.decodeEnvelope(received[received.size() - 2].message),
            FlutterMethodReply(FlutterError{"E", std::nullopt, EncodableValue()}));
  EXPECT_TRUE(received.back().message.empty());

  EXPECT_EQ(dart->invokeMethod("test/events", "cancel"), FlutterMethodReply(EncodableValue()));
  EXPECT_EQ(stream->cancels, 2);
  const size_t before = dart->received().size();
  stream->sink(EncodableValue("after cancel"));
  EXPECT_EQ(dart->received().size(), before);
  EXPECT_EQ(dart->invokeMethod("test/events", "other"),
            FlutterMethodReply(FlutterMethodNotImplemented));
}

TEST_F(Channels, ADartSideThatGoesAwayEndsItsStreamsAsACancelWould) {
  auto stream = std::make_shared<CountingStream>();
  FlutterEventChannel::eventChannelWithName("test/events", messenger)->setStreamHandler(stream);
  ASSERT_EQ(dart->invokeMethod("test/events", "listen"), FlutterMethodReply(EncodableValue()));
  const auto sink = stream->sink;

  messenger->detach(dart.get());
  platform::RunLoop::main().runUntilIdle();
  EXPECT_EQ(stream->cancels, 1);

  // The next Dart side never listened: it gets no events, and has nothing to cancel.
  const auto next = InProcessDart::attach(messenger);
  sink(EncodableValue("for the old side"));
  EXPECT_TRUE(next->events("test/events").empty());
  EXPECT_EQ(
      next->invokeMethod("test/events", "cancel"),
      FlutterMethodReply(FlutterError{"error", "No active stream to cancel", EncodableValue()}));
  EXPECT_EQ(stream->cancels, 1);

  // A side that leaves with no stream open cancels nothing.
  messenger->detach(next.get());
  platform::RunLoop::main().runUntilIdle();
  EXPECT_EQ(stream->cancels, 1);
}

TEST_F(Channels, BasicChannelsCarryMessagesAndNilRemovesTheHandler) {
  FlutterBasicMessageChannel channel("test/basic", messenger);
  channel.setMessageHandler([](const EncodableValue& message, FlutterReply reply) {
    reply(EncodableValue(EncodableList{message, EncodableValue("seen")}));
  });
  const auto& codec = *FlutterStandardMessageCodec::sharedInstance();
  EXPECT_EQ(codec.decode(dart->send("test/basic", codec.encode(EncodableValue(5)))),
            EncodableValue(EncodableList{EncodableValue(5), EncodableValue("seen")}));
  // Undecodable bytes never reach the handler.
  EXPECT_TRUE(dart->send("test/basic", {0x0f}).empty());
  channel.setMessageHandler(nullptr);
  EXPECT_FALSE(messenger->hasHandler("test/basic"));
}

class ProbePlugin : public NSObject, public FlutterPlugin {
 public:
  void handleMethodCall(const FlutterMethodCall& call, FlutterResult result) override {
    result(EncodableValue(call.method + "!"));
  }
};

TEST_F(Channels, TheRegistrarKeepsMethodCallDelegatesAlive) {
  auto controller = FlutterViewController::create();
  auto controllerDart = InProcessDart::attach(controller->engine()->binaryMessenger());
  std::weak_ptr<ProbePlugin> weak;
  {
    auto registrar = controller->registrarForPlugin("ProbePlugin");
    auto plugin = std::make_shared<ProbePlugin>();
    weak = plugin;
    registrar->addMethodCallDelegate(
        plugin, FlutterMethodChannel::methodChannelWithName("test/probe", registrar->messenger()));
  }
  EXPECT_FALSE(weak.expired());
  EXPECT_EQ(controllerDart->invokeMethod("test/probe", "ping"),
            FlutterMethodReply(EncodableValue("ping!")));
  EXPECT_EQ(controller->registrarKeys(), std::vector<std::string>{"ProbePlugin"});
  EXPECT_EQ(controller->registrarForPlugin("Other")->view(), controller->view());
}

}  // namespace
