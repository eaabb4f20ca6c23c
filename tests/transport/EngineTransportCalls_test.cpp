// FFI and DESKTOP frames: calls on the threads the peer names, answered with their ids.
#include <sys/socket.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <condition_variable>
#include <mutex>
#include <set>

#include "macos/Flutter/codec/FlutterMessageCodec.h"
#include "macos/Flutter/engine/FfiBindings.h"
#include "platform/dispatch/MainThread.h"
#include "tests/transport/TransportTestSupport.h"

namespace {

std::mutex recordMutex;
std::condition_variable recordChanged;
std::vector<std::pair<int32_t, long>> recorded;  // value, thread id

std::mutex gateMutex;
std::condition_variable gateChanged;
bool gateOpen = false;
int gatePassed = 0;

long threadId() { return syscall(SYS_gettid); }

}  // namespace

extern "C" {
__attribute__((visibility("default"))) int32_t tolvek_transport_test_on_main() {
  return platform::isMainThread() ? 1 : 0;
}
__attribute__((visibility("default"))) void tolvek_transport_test_record(int32_t value) {
  std::lock_guard lock(recordMutex);
  recorded.emplace_back(value, threadId());
  recordChanged.notify_all();
}
// Waits until the test opens the gate.
__attribute__((visibility("default"))) void tolvek_transport_test_gate() {
  std::unique_lock lock(gateMutex);
  gateChanged.wait(lock, [] { return gateOpen; });
  ++gatePassed;
  gateChanged.notify_all();
}
}

namespace {

using tolvekdart::EngineClient;

// This program's own exports, declared as the application's are.
const bool kDeclared = [] {
  declareFfiBindingForTesting({"tolvek_transport_test_on_main", "int32()", true});
  declareFfiBindingForTesting({"tolvek_transport_test_record", "void(int32)"});
  declareFfiBindingForTesting({"tolvek_transport_test_gate", "void()"});
  return true;
}();

EncodableValue resultOf(const EncodableValue& map) {
  const auto* found = map.map() ? map.map()->find("result") : nullptr;
  return found ? *found : EncodableValue("no result");
}

using tolvekdart::ffiFrame;

using EngineTransportCalls = TransportTest;

TEST_F(EngineTransportCalls, ThreadZeroIsTheMainThreadAndOthersAreNot) {
  withPeer([&] {
    auto client = connect();
    EXPECT_EQ(resultOf(client.callFfi(0, "tolvek_transport_test_on_main", "int32()", {})),
              EncodableValue(1));
    EXPECT_EQ(resultOf(client.callFfi(1, "tolvek_transport_test_on_main", "int32()", {})),
              EncodableValue(0));
    EXPECT_EQ(resultOf(client.callFfi(255, "tolvek_transport_test_on_main", "int32()", {})),
              EncodableValue(0));
  });
}

TEST_F(EngineTransportCalls, EachDartThreadRunsItsCallsInArrivalOrderOnOneThread) {
  {
    std::lock_guard lock(recordMutex);
    recorded.clear();
  }
  withPeer([&] {
    auto client = connect();
    // Sent all at once, answered in any order between threads.
    for (uint32_t i = 0; i < 20; ++i) {
      const uint8_t thread = i % 2 == 0 ? 7 : 8;
      client.sendFrame(ffiFrame(100 + i, thread, "tolvek_transport_test_record", "void(int32)",
                                {static_cast<int32_t>(i)}));
    }
    for (uint32_t i = 0; i < 20; ++i) client.awaitAnswer(EngineFrameKind::ffiResult, 100 + i);
  });
  std::lock_guard lock(recordMutex);
  ASSERT_EQ(recorded.size(), 20u);
  std::vector<int32_t> onSeven, onEight;
  std::set<long> sevenThreads, eightThreads;
  for (const auto& [value, thread] : recorded) {
    (value % 2 == 0 ? onSeven : onEight).push_back(value);
    (value % 2 == 0 ? sevenThreads : eightThreads).insert(thread);
  }
  EXPECT_TRUE(std::is_sorted(onSeven.begin(), onSeven.end()));
  EXPECT_TRUE(std::is_sorted(onEight.begin(), onEight.end()));
  EXPECT_EQ(sevenThreads.size(), 1u);
  EXPECT_EQ(eightThreads.size(), 1u);
  EXPECT_NE(*sevenThreads.begin(), *eightThreads.begin());
  EXPECT_NE(*sevenThreads.begin(), static_cast<long>(getpid()));
}

TEST_F(EngineTransportCalls, RefusedCallsAnswerWithTheirReason) {
  withPeer([&] {
    auto client = connect();
    for (const auto& [symbol, signature] : std::vector<std::pair<std::string, std::string>>{
             {"getpid", "int32()"},
             {"tolvek_transport_test_none", "void()"},
             {"tolvek_transport_test_on_main", "int64()"}}) {
      const auto result = client.callFfi(2, symbol, signature, {});
      ASSERT_TRUE(result.map()) << symbol;
      EXPECT_TRUE(result.map()->find("error")) << symbol;
    }
  });
}

TEST_F(EngineTransportCalls, ACallInFlightFinishesAfterItsPeerLeft) {
  {
    std::lock_guard lock(gateMutex);
    gateOpen = false;
    gatePassed = 0;
  }
  withPeer([&] {
    auto client = connect();
    client.sendFrame(ffiFrame(1, 9, "tolvek_transport_test_gate", "void()", {}));
    client.sendMessage("test/nobody", {});  // the call has been handed on
  });
  {
    std::unique_lock lock(gateMutex);
    gateOpen = true;
    gateChanged.notify_all();
    ASSERT_TRUE(
        gateChanged.wait_for(lock, std::chrono::seconds(10), [] { return gatePassed == 1; }));
  }
  withPeer([&] {
    auto next = connect();
    EXPECT_EQ(resultOf(next.callFfi(9, "tolvek_transport_test_on_main", "int32()", {})),
              EncodableValue(0));
  });
}

// Whether `count` values are recorded within ten seconds.
bool recordsReach(size_t count) {
  std::unique_lock lock(recordMutex);
  return recordChanged.wait_for(lock, std::chrono::seconds(10),
                                [count] { return recorded.size() >= count; });
}

// A peer that no longer receives (its read side shut, as when it is leaving) makes the
// host's writes fail. What it sent is still served: only the answers are dropped.
TEST_F(EngineTransportCalls, CallsSentAfterTheAnswersFailedToGoOutAreStillServed) {
  {
    std::lock_guard lock(recordMutex);
    recorded.clear();
  }
  withPeer([&] {
    auto client = connect();
    ASSERT_EQ(::shutdown(client.fd(), SHUT_RD), 0);
    client.sendFrame(ffiFrame(1, 4, "tolvek_transport_test_record", "void(int32)", {1}));
    ASSERT_TRUE(recordsReach(1));
    // Its answer then fails to go out; the I/O thread has time to notice before more comes.
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    client.sendFrame(ffiFrame(2, 4, "tolvek_transport_test_record", "void(int32)", {2}));
    client.sendFrame(ffiFrame(3, 5, "tolvek_transport_test_record", "void(int32)", {3}));
  });
  ASSERT_TRUE(recordsReach(3)) << "calls sent after a failed answer were dropped";
  withPeer([&] {
    auto next = connect();
    EXPECT_EQ(resultOf(next.callFfi(4, "tolvek_transport_test_on_main", "int32()", {})),
              EncodableValue(0));
  });
}

TEST_F(EngineTransportCalls, DesktopMethodsAreAnsweredFromTheMainThread) {
  withPeer([&] {
    auto client = connect();
    EXPECT_TRUE(std::holds_alternative<FlutterMethodNotImplementedType>(
        client.desktop("noSuchDesktopMethod")));
    // A payload that is no method call gets the bad-arguments error.
    EngineFrame garbage;
    garbage.kind = EngineFrameKind::desktop;
    garbage.id = 3;
    garbage.payload = {0x07, 0x50};
    client.sendFrame(garbage);
    const auto answer = client.awaitAnswer(EngineFrameKind::desktopResult, 3);
    const auto reply = FlutterStandardMethodCodec::sharedInstance()->decodeEnvelope(answer.payload);
    const auto* error = std::get_if<FlutterError>(&reply);
    ASSERT_TRUE(error);
    EXPECT_EQ(error->code, "bad-arguments");
  });
}

}  // namespace
