// The real host, attached through its socket: messages, FFI refusals, bad peers.

#include <csignal>
#include <cstring>
#include <filesystem>

#include "macos/Flutter/codec/FlutterMessageCodec.h"
#include "tests/e2e/HostTestSupport.h"
#include "tests/support/StaleSocket.h"
#include "tests/support/TemporaryDirectory.h"

namespace {

using tolvekdart::EngineClient;
using tolvekdart::HostProcess;

using HostTransport = HostTest;

TEST_F(HostTransport, AMessageToAChannelWithoutHandlerGetsAnEmptyReply) {
  auto client = attach();
  EXPECT_TRUE(client.sendMessage("tolvek/e2e/nobody", {1, 2, 3}).empty());
  // Id 0 wants no reply: the next frame is the reply to the message after it.
  EngineFrame silent;
  silent.kind = EngineFrameKind::message;
  silent.channel = "tolvek/e2e/nobody";
  client.sendFrame(silent);
  silent.id = 41;
  client.sendFrame(silent);
  const auto frame = client.nextFrame(in(std::chrono::seconds(10)));
  ASSERT_TRUE(frame);
  EXPECT_EQ(frame->kind, EngineFrameKind::reply);
  EXPECT_EQ(frame->id, 41u);
  EXPECT_TRUE(frame->payload.empty());
}

TEST_F(HostTransport, DesktopWindowsListsTheMainWindow) {
  auto client = attach();
  const auto reply = client.desktop("windows");
  const auto* windows = std::get_if<EncodableValue>(&reply);
  ASSERT_TRUE(windows && windows->list()) << "\"windows\" is not served";
  bool found = false;
  for (const auto& window : *windows->list()) {
    const auto* name = field(window, "class");
    if (name && name->string() && *name->string() == "MainFlutterWindow") found = true;
  }
  EXPECT_TRUE(found);
}

TEST_F(HostTransport, FfiCallsOutsideTheExportsAreRefused) {
  auto client = attach();
  for (const auto& [symbol, signature, reason] :
       std::vector<std::tuple<std::string, std::string, std::string>>{
           {"getpid", "int32()", "not a tolvek_ export"},
           {"free", "void(ptr)", "not a tolvek_ export"},
           {"tolvek_no_such_export", "void()", "no exported function"},
           {"tolvek_window_show", "void(double)", "declared \"void()\""},
           {"tolvek_window_set_size", "void(utf8,int32)", "declared \"void(int32,int32)\""},
           {"tolvek_clipboard_read_files", "int32()", "declared \"utf8ptr()\""}}) {
    for (const uint8_t thread : {0, 4}) {
      const auto result = client.callFfi(thread, symbol, signature, {});
      const auto* error = field(result, "error");
      ASSERT_TRUE(error && error->string()) << symbol;
      EXPECT_NE(error->string()->find(reason), std::string::npos) << *error->string();
    }
  }
}

TEST_F(HostTransport, OnlyTextHandedToThisPeerCanBeFreedAndOnlyOnce) {
  auto client = attach();
  const auto read = client.callFfi(1, "tolvek_clipboard_read_files", "utf8ptr()", {});
  const auto* pair = field(read, "result") ? field(read, "result")->list() : nullptr;
  ASSERT_TRUE(pair && pair->size() == 2);
  const EncodableValue address = (*pair)[0];
  const auto free = [&](const EncodableValue& pointer) {
    return client.callFfi(2, "tolvek_clipboard_free", "void(ptr)", {pointer});
  };
  EXPECT_FALSE(field(free(address), "error"));
  for (const EncodableValue& pointer :
       {address, EncodableValue(int64_t{0x1000}), EncodableValue(int64_t{-8})}) {
    const auto refused = free(pointer);
    const auto* error = field(refused, "error");
    ASSERT_TRUE(error && error->string());
    EXPECT_NE(error->string()->find("not text handed to this peer"), std::string::npos)
        << *error->string();
  }
  EXPECT_FALSE(field(free(EncodableValue()), "error")) << "null is always accepted";
  EXPECT_TRUE(client.sendMessage("tolvek/e2e/nobody", {}).empty()) << "the host lives on";
}

TEST_F(HostTransport, AMalformedFrameEndsThatConnectionAndTheNextPeerIsServed) {
  for (const std::vector<uint8_t>& bad : std::vector<std::vector<uint8_t>>{
           {0, 0, 0, 0},                        // length 0
           {1, 0, 0, 4, 2, 0, 0, 0, 0},         // over 64 MiB
           {5, 0, 0, 0, 99, 1, 0, 0, 0},        // unknown kind
           {6, 0, 0, 0, 1, 1, 0, 0, 0, 50}}) {  // a channel name cut short
    {
      auto client = attach();
      EXPECT_TRUE(client.sendMessage("tolvek/e2e/nobody", {}).empty());
      client.sendRaw(bad);
      EXPECT_TRUE(client.waitForClose(in(std::chrono::seconds(10))));
    }
    auto next = attach();
    EXPECT_TRUE(next.sendMessage("tolvek/e2e/nobody", {}).empty());
  }
}

TEST_F(HostTransport, ASecondConcurrentPeerIsClosedAtOnce) {
  auto first = attach();
  EXPECT_TRUE(first.sendMessage("tolvek/e2e/nobody", {}).empty());
  auto second = attach();
  EXPECT_TRUE(second.waitForClose(in(std::chrono::seconds(10))));
  EXPECT_TRUE(first.sendMessage("tolvek/e2e/nobody", {}).empty());
}

TEST_F(HostTransport, APeerLeavingWithCallsInFlightLeavesTheHostServing) {
  {
    auto client = attach();
    for (uint32_t id = 1; id <= 20; ++id) {
      EngineFrame frame;
      frame.kind = id % 2 ? EngineFrameKind::message : EngineFrameKind::desktop;
      frame.id = id;
      frame.channel = "tolvek/e2e/nobody";
      if (frame.kind == EngineFrameKind::desktop) {
        frame.payload =
            FlutterStandardMethodCodec::sharedInstance()->encodeMethodCall({"windows", {}});
      }
      client.sendFrame(frame);
    }
  }
  auto next = attach();
  EXPECT_TRUE(next.sendMessage("tolvek/e2e/nobody", {}).empty());
}

class HostSocketPath : public ::testing::Test {
 protected:
  test_support::TemporaryDirectory directory_;
};

TEST_F(HostSocketPath, AStaleSocketFileIsReplaced) {
  const std::string path = directory_ / "stale.sock";
  test_support::makeStaleSocket(path);
  auto options = hostOptions();
  options.socketPath = path;
  auto host = HostProcess::start(options);
  auto client = host->connect();
  EXPECT_TRUE(client.sendMessage("tolvek/e2e/nobody", {}).empty());
  EXPECT_TRUE(host->running());
}

TEST_F(HostSocketPath, ALiveSocketEndsTheSecondHostWithStatus2AndOneLine) {
  auto first = HostProcess::start(hostOptions());
  auto options = hostOptions();
  options.socketPath = first->socketPath();
  const auto second = startExpectingFailure(options, directory_ / "stderr.txt");
  ASSERT_TRUE(second.status);
  EXPECT_TRUE(WIFEXITED(*second.status));
  EXPECT_EQ(WEXITSTATUS(*second.status), 2);
  EXPECT_TRUE(isOneLine(second.standardError)) << second.standardError;
  EXPECT_NE(second.standardError.find("listening"), std::string::npos) << second.standardError;
  // The first host keeps its socket.
  auto client = first->connect();
  EXPECT_TRUE(client.sendMessage("tolvek/e2e/nobody", {}).empty());
}

TEST_F(HostSocketPath, AnotherProcessesSocketBesideThePathIsLeftAlone) {
  // A live socket of someone else's at the name a host once made its socket under.
  const std::string path = directory_ / "engine.sock";
  auto neighbour = HostProcess::start([&] {
    auto options = hostOptions();
    options.socketPath = path + "~";
    return options;
  }());
  auto options = hostOptions();
  options.socketPath = path;
  auto host = HostProcess::start(options);
  EXPECT_TRUE(host->connect().sendMessage("tolvek/e2e/nobody", {}).empty());
  EXPECT_TRUE(neighbour->connect().sendMessage("tolvek/e2e/nobody", {}).empty());
}

TEST_F(HostSocketPath, TermAndInterruptSignalsEndTheHostAsQuittingDoes) {
  for (const int signal : {SIGTERM, SIGINT}) {
    auto host = HostProcess::start(hostOptions());
    const std::string socket = host->socketPath();
    host->connect();  // attached and gone: the host serves nobody now
    ASSERT_EQ(kill(host->pid(), signal), 0);
    const auto status = host->waitForExit(std::chrono::seconds(10));
    ASSERT_TRUE(status) << strsignal(signal) << ": the host kept running";
    EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0)
        << strsignal(signal) << ": wait status " << *status;
    EXPECT_FALSE(std::filesystem::exists(socket)) << strsignal(signal);
  }
}

TEST_F(HostSocketPath, ASocketPathTooLongEndsTheHostWithStatus2AndOneLine) {
  auto options = hostOptions();
  options.socketPath = directory_ / std::string(120, 'p');
  const auto host = startExpectingFailure(options, directory_ / "stderr.txt");
  ASSERT_TRUE(host.status);
  EXPECT_TRUE(WIFEXITED(*host.status));
  EXPECT_EQ(WEXITSTATUS(*host.status), 2);
  EXPECT_TRUE(isOneLine(host.standardError)) << host.standardError;
  EXPECT_NE(host.standardError.find("too long"), std::string::npos) << host.standardError;
}

}  // namespace
