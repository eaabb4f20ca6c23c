// From making the host process to its engine socket accepting a peer.
#include <benchmark/benchmark.h>

#include <filesystem>

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

BENCHMARK(BM_HostStartToSocketAccepting)
    ->UseManualTime()
    ->Iterations(30)
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
