// Who may attach, and what a bad peer can and cannot do.
#include <sys/stat.h>

#include <fstream>

#include <atomic>
#include <thread>

#include "macos/Flutter/engine/EnginePeer.h"
#include "macos/Flutter/engine/EngineSocket.h"
#include "macos/Flutter/engine/EngineTransport.h"
#include "tests/support/StaleSocket.h"
#include "tests/transport/TransportTestSupport.h"

namespace {

using tolvekdart::EngineClient;

std::vector<uint8_t> lengthPrefixed(const std::vector<uint8_t>& body, uint32_t length) {
  std::vector<uint8_t> bytes = {static_cast<uint8_t>(length), static_cast<uint8_t>(length >> 8),
                                static_cast<uint8_t>(length >> 16),
                                static_cast<uint8_t>(length >> 24)};
  for (const uint8_t byte : body) bytes.push_back(byte);
  return bytes;
}

std::vector<uint8_t> lengthPrefixed(const std::vector<uint8_t>& body) {
  return lengthPrefixed(body, static_cast<uint32_t>(body.size()));
}

bool roundTrips(EngineClient& client) { return client.sendMessage("test/nobody", {1}).empty(); }

using EngineTransportConnections = TransportTest;

TEST_F(EngineTransportConnections, TheSocketFileIsPrivateToItsUser) {
  struct stat info {};
  ASSERT_EQ(lstat(path_.c_str(), &info), 0);
  EXPECT_TRUE(S_ISSOCK(info.st_mode));
  EXPECT_EQ(info.st_mode & 0777, 0600u);
}

TEST_F(EngineTransportConnections, ASecondPeerIsClosedAtOnceAndTheFirstKeepsWorking) {
  withPeer([&] {
    auto first = connect();
    ASSERT_TRUE(roundTrips(first));
    auto second = connect();
    EXPECT_TRUE(second.waitForClose(in(std::chrono::seconds(10))));
    EXPECT_TRUE(roundTrips(first));
  });
}

TEST_F(EngineTransportConnections, WhenThePeerLeavesTheNextOneIsAccepted) {
  for (int peer = 0; peer < 3; ++peer) {
    withPeer([&] {
      auto client = connect();
      EXPECT_TRUE(roundTrips(client));
    });
  }
}

struct BadInput {
  const char* name;
  std::vector<uint8_t> bytes;
};

class EngineTransportBadInput : public TransportTest,
                                public ::testing::WithParamInterface<BadInput> {};

TEST_P(EngineTransportBadInput, EndsThatConnectionOnlyAndTheNextPeerIsServed) {
  withPeer([&] {
    auto bad = connect();
    ASSERT_TRUE(roundTrips(bad));
    bad.sendRaw(GetParam().bytes);
    EXPECT_TRUE(bad.waitForClose(in(std::chrono::seconds(10))));
  });
  withPeer([&] {
    auto next = connect();
    EXPECT_TRUE(roundTrips(next));
  });
}

INSTANTIATE_TEST_SUITE_P(
    Frames, EngineTransportBadInput,
    ::testing::Values(BadInput{"LengthZero", lengthPrefixed({})},
                      BadInput{"LengthOver64MiB",
                               lengthPrefixed({2, 1, 0, 0, 0}, 64u * 1024 * 1024 + 1)},
                      BadInput{"UnknownKind", lengthPrefixed({42, 1, 0, 0, 0})},
                      BadInput{"ShortHeader", lengthPrefixed({1, 1})},
                      BadInput{"ChannelPastTheBody", lengthPrefixed({1, 1, 0, 0, 0, 200, 0, 'x'})},
                      BadInput{"FfiFieldsMissing", lengthPrefixed({3, 1, 0, 0, 0, 1, 4, 0})},
                      // Results travel from the host only.
                      BadInput{"FfiResultFromThePeer", lengthPrefixed({4, 1, 0, 0, 0})},
                      BadInput{"DesktopResultFromThePeer", lengthPrefixed({6, 1, 0, 0, 0})}),
    [](const auto& param) { return std::string(param.param.name); });

TEST_F(EngineTransportConnections, AFrameNotFinishedInTimeEndsItsConnectionAndFreesThePlace) {
  EnginePeer::setPartialFrameTimeoutForTesting(std::chrono::milliseconds(200));
  withPeer([&] {
    auto stuck = connect();
    ASSERT_TRUE(roundTrips(stuck));
    stuck.sendRaw({5, 0, 0});  // three bytes of a length, then nothing
    EXPECT_TRUE(stuck.waitForClose(in(std::chrono::seconds(10))));
    auto next = connect();
    EXPECT_TRUE(roundTrips(next));
  });
  EnginePeer::setPartialFrameTimeoutForTesting(std::nullopt);
}

TEST_F(EngineTransportConnections, APeerThatLeavesItsAnswersUnreadIsNotReadUntilItReadsThem) {
  messenger_->setMessageHandlerOnChannel(
      "test/echo",
      [](const FlutterBinaryMessage& message, FlutterBinaryReply reply) { reply(message); });
  constexpr int kRequests = 600;  // 600 answers of 64 KiB: far over what may wait unread
  const std::vector<uint8_t> payload(64 * 1024, 7);
  withPeer([&] {
    auto client = connect();
    std::atomic<bool> allSent{false};
    std::thread writer([&] {
      for (uint32_t id = 1; id <= kRequests; ++id) {
        EngineFrame frame;
        frame.kind = EngineFrameKind::message;
        frame.id = id;
        frame.channel = "test/echo";
        frame.payload = payload;
        client.sendFrame(frame);
      }
      allSent = true;
    });
    // The host stops reading once its unread answers pass the limit, so the requests
    // cannot all be sent while nothing is read.
    std::this_thread::sleep_for(std::chrono::seconds(1));
    EXPECT_FALSE(allSent.load()) << "the host read on with every answer unread";
    // Reading the answers lets the rest in: every request is answered, none lost.
    int answered = 0;
    while (answered < kRequests) {
      const auto frame = client.nextFrame(in(std::chrono::seconds(10)));
      if (!frame) break;
      if (frame->kind == EngineFrameKind::reply && frame->payload == payload) ++answered;
    }
    writer.join();
    EXPECT_EQ(answered, kRequests);
  });
}

TEST_F(EngineTransportConnections, APeerThatLeavesInTheMiddleOfAFrameLeavesTheHostServing) {
  withPeer([&] {
    auto client = connect();
    ASSERT_TRUE(roundTrips(client));
    client.sendRaw(lengthPrefixed({1, 1, 0, 0, 0, 4, 0, 't'}, 100));
  });
  withPeer([&] {
    auto next = connect();
    EXPECT_TRUE(roundTrips(next));
  });
}

TEST_F(EngineTransportConnections, AStaleSocketFileIsReplaced) {
  const std::string stale = directory_ / "stale.sock";
  test_support::makeStaleSocket(stale);
  std::string error;
  auto server = EngineTransportServer::start(stale, messenger_, &error);
  ASSERT_TRUE(server) << error;
  struct stat info {};
  ASSERT_EQ(lstat(stale.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
  server_.reset();  // the messenger serves one transport at a time
  withPeer([&] {
    auto client = EngineClient::connect(stale);
    EXPECT_TRUE(roundTrips(client));
  });
  // Stopping removes the file it made.
  server.reset();
  EXPECT_NE(lstat(stale.c_str(), &info), 0);
}

TEST_F(EngineTransportConnections, ALiveSocketIsRefusedAndKeepsServing) {
  std::string error;
  EXPECT_FALSE(EngineTransportServer::start(path_, messenger_, &error));
  EXPECT_NE(error.find("another process is listening"), std::string::npos) << error;
  withPeer([&] {
    auto client = connect();
    EXPECT_TRUE(roundTrips(client));
  });
}

TEST_F(EngineTransportConnections, SomethingOtherThanASocketIsNeverReplaced) {
  const std::string file = directory_ / "notes.txt";
  std::ofstream(file) << "keep me";
  std::string error;
  EXPECT_FALSE(EngineTransportServer::start(file, messenger_, &error));
  EXPECT_FALSE(error.empty());
  std::ifstream kept(file);
  std::string text;
  std::getline(kept, text);
  EXPECT_EQ(text, "keep me");
}

TEST_F(EngineTransportConnections, APathTooLongForASocketAddressIsRefused) {
  const std::string longest = directory_ / std::string(107 - directory_.path().size() - 1, 's');
  ASSERT_EQ(longest.size(), 107u);
  std::string error;
  auto atTheLimit = EngineTransportServer::start(longest, nullptr, &error);
  EXPECT_TRUE(atTheLimit) << error;
  atTheLimit.reset();
  EXPECT_FALSE(EngineTransportServer::start(longest + "s", nullptr, &error));
  EXPECT_NE(error.find("too long"), std::string::npos) << error;
}

TEST_F(EngineTransportConnections, WithoutAMessengerEveryMessageIsAnsweredEmpty) {
  server_.reset();
  std::string error;
  server_ = EngineTransportServer::start(path_, nullptr, &error);
  ASSERT_TRUE(server_) << error;
  withPeer([&] {
    auto client = connect();
    EXPECT_TRUE(roundTrips(client));
  });
}

using EngineTransportFromEnvironmentDeathTest = TransportTest;

TEST_F(EngineTransportFromEnvironmentDeathTest, ALiveListenerEndsTheProcessWithStatus2) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  setenv("TOLVEK_ENGINE_SOCKET", path_.c_str(), 1);
  EXPECT_EXIT(startEngineTransportFromEnvironment(), ::testing::ExitedWithCode(2),
              "another process is listening");
  const std::string tooLong(200, 'p');
  setenv("TOLVEK_ENGINE_SOCKET", ("/tmp/" + tooLong).c_str(), 1);
  EXPECT_EXIT(startEngineTransportFromEnvironment(), ::testing::ExitedWithCode(2), "too long");
  unsetenv("TOLVEK_ENGINE_SOCKET");
  // Unset: no transport, and nothing else happens.
  startEngineTransportFromEnvironment();
}

}  // namespace
