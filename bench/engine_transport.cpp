// Round trips through the engine transport's socket, beside a bare Unix-socket echo
// measured in the same run: a small method call answered on the main thread, and an FFI
// query answered on a Dart thread; first with the transport in this process, then with
// the real host (a getScale call and tolvek_clipboard_is_cut).
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <thread>

#include "bench/LatencyCounters.h"
#include "macos/Flutter/codec/FlutterMethodCodec.h"
#include "macos/Flutter/engine/EngineSocket.h"
#include "macos/Flutter/engine/EngineTransportServer.h"
#include "macos/Flutter/engine/FfiBindings.h"
#include "platform/dispatch/RunLoop.h"
#include "tools/tolvek-dart/EngineClient.h"
#include "tools/tolvek-dart/HostProcess.h"

extern "C" __attribute__((visibility("default"))) int32_t tolvek_bench_query() { return 2; }

namespace {

std::string socketDirectory;
std::string transportPath;

// The size of a getScale call frame, so the echo carries as many bytes.
constexpr size_t kEchoBytes = 31;

// An echo server on its own Unix socket: one thread that reads and writes back.
class EchoServer {
 public:
  explicit EchoServer(const std::string& path) : path_(path) {
    std::string error;
    listener_ = EngineSocket::listenAt(path, &error);
    thread_ = std::thread([this] {
      pollfd waiting{listener_.fd(), POLLIN, 0};
      ::poll(&waiting, 1, -1);
      const int fd = ::accept4(listener_.fd(), nullptr, nullptr, SOCK_CLOEXEC);
      char buffer[4096];
      for (;;) {
        const ssize_t count = ::read(fd, buffer, sizeof buffer);
        if (count <= 0) break;
        if (::write(fd, buffer, static_cast<size_t>(count)) != count) break;
      }
      ::close(fd);
    });
  }
  ~EchoServer() { thread_.join(); }

 private:
  std::string path_;
  EngineSocket listener_;
  std::thread thread_;
};

void BM_UnixSocketEchoRoundTrip(benchmark::State& state) {
  const std::string path = socketDirectory + "/echo.sock";
  EchoServer server(path);
  const int fd = connectUnixSocket(path);
  char message[kEchoBytes] = {};
  char answer[kEchoBytes];
  bool broken = false;
  measureEachIteration(state, [&] {
    if (broken) return;
    if (::write(fd, message, sizeof message) != static_cast<ssize_t>(sizeof message)) {
      broken = true;
      return;
    }
    size_t got = 0;
    while (got < sizeof answer) {
      const ssize_t count = ::read(fd, answer + got, sizeof answer - got);
      if (count <= 0) {
        broken = true;
        return;
      }
      got += static_cast<size_t>(count);
    }
  });
  ::close(fd);
  if (broken) state.SkipWithError("the echo server went away");
}

// A getScale-shaped method call, and an FFI query answered on Dart thread 1.
void methodCallRoundTrips(benchmark::State& state, tolvekdart::EngineClient& client,
                          const std::string& channel) {
  measureEachIteration(state, [&] {
    auto reply = client.invokeMethod(channel, "getScale");
    benchmark::DoNotOptimize(reply);
  });
}

void ffiQueryRoundTrips(benchmark::State& state, tolvekdart::EngineClient& client,
                        const std::string& symbol) {
  measureEachIteration(state, [&] {
    auto result = client.callFfi(1, symbol, "int32()", {});
    benchmark::DoNotOptimize(result);
  });
}

void BM_MethodCallRoundTrip(benchmark::State& state) {
  auto client = tolvekdart::EngineClient::connect(transportPath);
  methodCallRoundTrips(state, client, "bench/system_scale");
}

void BM_FfiQueryOnDartThreadRoundTrip(benchmark::State& state) {
  auto client = tolvekdart::EngineClient::connect(transportPath);
  ffiQueryRoundTrips(state, client, "tolvek_bench_query");
}

// The same two round trips against the real host, started from its bundle.
tolvekdart::HostProcess* realHost(benchmark::State& state) {
  static std::unique_ptr<tolvekdart::HostProcess> host;
  if (!host && std::filesystem::exists(TOLVEK_APP_DIR "/Contents/MacOS/Tolvek")) {
    tolvekdart::HostProcess::Options options;
    options.bundlePath = TOLVEK_APP_DIR;
    options.copyBundle = false;
    host = tolvekdart::HostProcess::start(options);
  }
  if (!host) state.SkipWithError("the host bundle is not built");
  return host.get();
}

void BM_HostMethodCallRoundTrip(benchmark::State& state) {
  auto* host = realHost(state);
  if (!host) return;
  auto client = host->connect();
  methodCallRoundTrips(state, client, "tolvek/system_scale");
}

void BM_HostFfiQueryOnDartThreadRoundTrip(benchmark::State& state) {
  auto* host = realHost(state);
  if (!host) return;
  auto client = host->connect();
  ffiQueryRoundTrips(state, client, "tolvek_clipboard_is_cut");
}

BENCHMARK(BM_UnixSocketEchoRoundTrip)->UseRealTime();
BENCHMARK(BM_MethodCallRoundTrip)->UseRealTime();
BENCHMARK(BM_FfiQueryOnDartThreadRoundTrip)->UseRealTime();
BENCHMARK(BM_HostMethodCallRoundTrip)->UseRealTime();
BENCHMARK(BM_HostFfiQueryOnDartThreadRoundTrip)->UseRealTime();

}  // namespace

// The main thread runs the main run loop, as in the host; the benchmarks run beside it.
int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  declareFfiBindingForTesting({"tolvek_bench_query", "int32()", true});
  std::string pattern = (std::filesystem::temp_directory_path() / "tolvek-bench-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) return 1;
  socketDirectory = pattern;
  transportPath = socketDirectory + "/engine.sock";

  auto messenger = std::make_shared<FlutterEngineMessenger>();
  const auto scale = FlutterStandardMethodCodec::sharedInstance()->encodeSuccessEnvelope(2.0);
  messenger->setMessageHandlerOnChannel(
      "bench/system_scale",
      [scale](const FlutterBinaryMessage&, FlutterBinaryReply reply) { reply(scale); });
  std::string error;
  auto server = EngineTransportServer::start(transportPath, messenger, &error);
  if (!server) return 1;

  std::thread runner([] {
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    platform::RunLoop::main().stop();
  });
  platform::RunLoop::main().run();
  runner.join();
  server.reset();
  std::filesystem::remove_all(socketDirectory);
  return 0;
}
