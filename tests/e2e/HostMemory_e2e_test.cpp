// A host whose memory is limited, sent frames that would decode to far more than it has.
#include <thread>

#include "tests/e2e/HostTestSupport.h"

namespace {

using tolvekdart::EngineClient;
using tolvekdart::HostProcess;

// A list of `count` nulls, as a standard-codec value: 64 MiB of these would be gigabytes
// as decoded values.
std::vector<uint8_t> nullsList(uint32_t count) {
  std::vector<uint8_t> bytes{12, 255};
  for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(count >> (8 * i)));
  bytes.resize(bytes.size() + count, 0);
  return bytes;
}

const EncodableValue* errorField(const EncodableValue& map) {
  return map.map() ? map.map()->find("error") : nullptr;
}

TEST(HostMemory, AMemoryLimitedHostAnswersAHugeFrameAndLivesOn) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
  GTEST_SKIP() << "the sanitizers reserve more address space than the limit allows";
#endif
  auto options = hostOptions();
  options.addressSpaceLimit = uint64_t{2} << 30;
  auto host = HostProcess::start(options);
  auto client = host->connect();
  client.setTimeout(std::chrono::seconds(30));
  const uint32_t count = kEngineFrameMaxBody - 64;

  // The largest DESKTOP frame there is: a method call whose arguments are all nulls.
  EngineFrame desktop;
  desktop.kind = EngineFrameKind::desktop;
  desktop.id = client.newId();
  desktop.payload = {7, 7, 'w', 'i', 'n', 'd', 'o', 'w', 's'};
  const auto nulls = nullsList(count - 16);
  desktop.payload.insert(desktop.payload.end(), nulls.begin(), nulls.end());
  client.sendFrame(desktop);
  const auto answer = FlutterStandardMethodCodec::sharedInstance()->decodeEnvelope(
      client.awaitAnswer(EngineFrameKind::desktopResult, desktop.id).payload);
  const auto* error = std::get_if<FlutterError>(&answer);
  ASSERT_TRUE(error) << "a huge call was answered as if it decoded";
  EXPECT_EQ(error->code, "bad-arguments");

  // Three such frames at once, as FFI arguments on three Dart threads.
  std::vector<uint32_t> ids;
  for (const uint8_t thread : {1, 2, 3}) {
    EngineFrame call;
    call.kind = EngineFrameKind::ffi;
    call.id = client.newId();
    call.thread = thread;
    call.symbol = "tolvek_window_show";
    call.signature = "void()";
    call.payload = nullsList(count - 64);
    client.sendFrame(call);
    ids.push_back(call.id);
  }
  for (const uint32_t id : ids) {
    const auto result = FlutterStandardMessageCodec::sharedInstance()->decode(
        client.awaitAnswer(EngineFrameKind::ffiResult, id).payload);
    const auto* refusal = errorField(result);
    ASSERT_TRUE(refusal && refusal->string());
    EXPECT_NE(refusal->string()->find("too large to decode"), std::string::npos)
        << *refusal->string();
  }
  // The host lives on and answers as before.
  EXPECT_TRUE(client.sendMessage("tolvek/e2e/nobody", {}).empty());
  EXPECT_TRUE(host->running());
}

}  // namespace
