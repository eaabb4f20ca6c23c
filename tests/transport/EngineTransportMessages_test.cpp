// Channel messages through the socket, both ways, as the engine delivers them.
#include "platform/dispatch/DispatchQueue.h"
#include "platform/dispatch/MainThread.h"
#include "tests/transport/TransportTestSupport.h"

namespace {

using tolvekdart::EngineClient;

class EngineTransportMessages : public TransportTest {
 protected:
  void SetUp() override {
    TransportTest::SetUp();
    // Echoes each message reversed, noting whether it ran on the main thread.
    messenger_->setMessageHandlerOnChannel(
        "test/echo", [this](const FlutterBinaryMessage& message, FlutterBinaryReply reply) {
          ++handled_;
          onMainThread_ = onMainThread_ && platform::isMainThread();
          reply(FlutterBinaryMessage(message.rbegin(), message.rend()));
        });
  }

  std::atomic<int> handled_{0};
  std::atomic<bool> onMainThread_{true};
};

TEST_F(EngineTransportMessages, MessageReachesItsHandlerOnTheMainThreadAndIsAnswered) {
  withPeer([&] {
    auto client = connect();
    EXPECT_EQ(client.sendMessage("test/echo", {1, 2, 3}), (std::vector<uint8_t>{3, 2, 1}));
    EXPECT_EQ(client.sendMessage("test/echo", {}), std::vector<uint8_t>{});
  });
  EXPECT_EQ(handled_, 2);
  EXPECT_TRUE(onMainThread_);
}

TEST_F(EngineTransportMessages, MessageToAChannelWithoutHandlerGetsAnEmptyReply) {
  withPeer([&] {
    auto client = connect();
    EXPECT_TRUE(client.sendMessage("test/nobody", {7}).empty());
    const auto reply = client.invokeMethod("test/nobody", "anything");
    EXPECT_TRUE(std::holds_alternative<FlutterMethodNotImplementedType>(reply));
  });
}

TEST_F(EngineTransportMessages, MessageWithIdZeroIsDeliveredButNotAnswered) {
  withPeer([&] {
    auto client = connect();
    EngineFrame silent;
    silent.kind = EngineFrameKind::message;
    silent.id = 0;
    silent.channel = "test/echo";
    silent.payload = {1};
    client.sendFrame(silent);
    EngineFrame asked = silent;
    asked.id = 77;
    client.sendFrame(asked);
    // Handlers run in arrival order, so a reply to the first would come before this one.
    const auto first = client.nextFrame(in(std::chrono::seconds(10)));
    ASSERT_TRUE(first);
    EXPECT_EQ(first->kind, EngineFrameKind::reply);
    EXPECT_EQ(first->id, 77u);
  });
  EXPECT_EQ(handled_, 2);
}

TEST_F(EngineTransportMessages, HostMessageReachesThePeerAndItsReplyComesBackOnTheMainThread) {
  std::vector<uint8_t> answer;
  bool answeredOnMain = false;
  std::atomic<bool> answered{false};
  withPeer([&] {
    auto client = connect();
    client.sendMessage("test/nobody", {});  // attached from here on
    platform::mainQueue().async([&] {
      messenger_->sendOnChannel("test/to-dart", {4, 5}, [&](const FlutterBinaryMessage& reply) {
        answer = reply;
        answeredOnMain = platform::isMainThread();
        answered = true;
      });
    });
    const auto message = client.nextFrame(in(std::chrono::seconds(10)));
    ASSERT_TRUE(message);
    EXPECT_EQ(message->kind, EngineFrameKind::message);
    EXPECT_EQ(message->channel, "test/to-dart");
    EXPECT_EQ(message->payload, (std::vector<uint8_t>{4, 5}));
    EXPECT_NE(message->id, 0u);
    EngineFrame reply;
    reply.kind = EngineFrameKind::reply;
    reply.id = message->id;
    reply.payload = {9};
    client.sendFrame(reply);
    // Repeated and unknown reply ids are dropped without harm.
    client.sendFrame(reply);
    reply.id = 123456;
    client.sendFrame(reply);
    EXPECT_TRUE(client.sendMessage("test/nobody", {}).empty());
  });
  ASSERT_TRUE(platform::RunLoop::main().runUntil([&] { return answered.load(); }));
  EXPECT_EQ(answer, std::vector<uint8_t>{9});
  EXPECT_TRUE(answeredOnMain);
}

TEST_F(EngineTransportMessages, HostMessageWithoutCallbackWantsNoReply) {
  withPeer([&] {
    auto client = connect();
    client.sendMessage("test/nobody", {});
    platform::mainQueue().async([&] { messenger_->sendOnChannel("test/events", {1}); });
    const auto message = client.nextFrame(in(std::chrono::seconds(10)));
    ASSERT_TRUE(message);
    EXPECT_EQ(message->id, 0u);
  });
}

TEST_F(EngineTransportMessages, AHostMessageAwaitingAPeerThatLeavesIsAnsweredEmpty) {
  std::optional<std::vector<uint8_t>> answer;
  withPeer([&] {
    auto client = connect();
    client.sendMessage("test/nobody", {});
    platform::mainQueue().async([&] {
      messenger_->sendOnChannel("test/to-dart", {4},
                                [&](const FlutterBinaryMessage& reply) { answer = reply; });
    });
    ASSERT_TRUE(client.nextFrame(in(std::chrono::seconds(10))));
    // Leaves without replying.
  });
  ASSERT_TRUE(platform::RunLoop::main().runUntil([&] { return answer.has_value(); }));
  EXPECT_TRUE(answer->empty());
  // Once the peer is gone the host's messages are dropped and answered empty too.
  std::optional<std::vector<uint8_t>> unattended;
  messenger_->sendOnChannel("test/to-dart", {4},
                            [&](const FlutterBinaryMessage& reply) { unattended = reply; });
  ASSERT_TRUE(platform::RunLoop::main().runUntil([&] { return unattended.has_value(); }));
  EXPECT_TRUE(unattended->empty());
}

TEST_F(EngineTransportMessages, RepliesForAPeerThatLeftAreDroppedAndTheNextPeerIsServed) {
  std::optional<FlutterBinaryReply> held;
  // This handler answers only when told to, after its peer has gone.
  messenger_->setMessageHandlerOnChannel(
      "test/slow", [&](const FlutterBinaryMessage&, FlutterBinaryReply reply) { held = reply; });
  withPeer([&] {
    auto client = connect();
    EngineFrame slow;
    slow.kind = EngineFrameKind::message;
    slow.id = 5;
    slow.channel = "test/slow";
    client.sendFrame(slow);
  });
  ASSERT_TRUE(platform::RunLoop::main().runUntil([&] { return held.has_value(); }));
  withPeer([&] {
    auto next = connect();
    EXPECT_EQ(next.sendMessage("test/echo", {1, 2}), (std::vector<uint8_t>{2, 1}));
    (*held)(FlutterBinaryMessage{42});  // meant for the first peer: goes nowhere
    EngineFrame echo;
    echo.kind = EngineFrameKind::message;
    echo.id = 6;
    echo.channel = "test/echo";
    next.sendFrame(echo);
    const auto frame = next.nextFrame(in(std::chrono::seconds(10)));
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->kind, EngineFrameKind::reply);
    EXPECT_EQ(frame->id, 6u);
  });
}

}  // namespace
