// From making the host process to its engine socket accepting a peer; and the host's
// resident memory once it idles after start-up.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>

#include "bench/LatencyCounters.h"
#include "tools/tolvek-dart/HostProcess.h"

namespace {

void BM_HostStartToSocketAccepting(benchmark::State& state) {
  if (!std::filesystem::exists(TOLVEK_APP_DIR "/Contents/MacOS/Tolvek")) {
    state.SkipWithError("the host bundle is not built");
    return;
  }
  tolvekdart::HostProcess::Options options;
  options.bundlePath = TOLVEK_APP_DIR;
  options.copyBundle = false;  // private HOME and socket; the bundle is only read
  LatencyCounters latency;
  for (auto _ : state) {
    auto host = tolvekdart::HostProcess::start(options);
    state.SetIterationTime(std::chrono::duration<double>(host->startupTime()).count());
    latency.add(host->startupTime());
    host->stop();
  }
  latency.report(state);
}

// VmRSS of a process, in KiB; -1 when it cannot be read.
int64_t residentKiB(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(status, line);) {
    if (line.starts_with("VmRSS:")) return std::stoll(line.substr(6));
  }
  return -1;
}

// Started, attached, answered one request of each kind (so every plug-in and thread that
// start-up or a first call brings to life is there), then left idle with no peer.
void BM_HostIdleResidentMemory(benchmark::State& state) {
  if (!std::filesystem::exists(TOLVEK_APP_DIR "/Contents/MacOS/Tolvek")) {
    state.SkipWithError("the host bundle is not built");
    return;
  }
  tolvekdart::HostProcess::Options options;
  options.bundlePath = TOLVEK_APP_DIR;
  options.copyBundle = false;
  std::vector<double> mebibytes;
  for (auto _ : state) {
    auto host = tolvekdart::HostProcess::start(options);
    {
      auto client = host->connect();
      client.invokeMethod("dev.fluttercommunity.plus/device_info", "getDeviceInfo");
      client.invokeMethod("dev.fluttercommunity.plus/package_info", "getAll");
      client.invokeMethod("tolvek/system_scale", "getScale");
      client.callFfi(1, "tolvek_clipboard_is_cut", "int32()", {});
      client.desktop("windows");
    }
    // The host notices the peer's departure on its I/O thread; a new peer's round trip
    // shows it was noticed, and the host then has nothing to do.
    host->connect().desktop("windows");
    const int64_t kib = residentKiB(host->pid());
    state.SetIterationTime(0.001);
    mebibytes.push_back(static_cast<double>(kib) / 1024.0);
    host->stop();
  }
  std::sort(mebibytes.begin(), mebibytes.end());
  if (!mebibytes.empty()) {
    state.counters["rss_median_MiB"] = mebibytes[mebibytes.size() / 2];
    state.counters["rss_max_MiB"] = mebibytes.back();
  }
}

BENCHMARK(BM_HostStartToSocketAccepting)
    ->UseManualTime()
    ->Iterations(30)
    ->Unit(benchmark::kMillisecond);

BENCHMARK(BM_HostIdleResidentMemory)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
