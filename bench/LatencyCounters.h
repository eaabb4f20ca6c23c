#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <vector>

// Per-iteration latencies, reported as median and 99th percentile counters (microseconds).
class LatencyCounters {
 public:
  using Clock = std::chrono::steady_clock;

  void add(Clock::duration sample) { samples_.push_back(sample); }

  void report(benchmark::State& state) {
    if (samples_.empty()) return;
    std::sort(samples_.begin(), samples_.end());
    auto at = [this](double fraction) {
      const size_t index =
          std::min(samples_.size() - 1,
                   static_cast<size_t>(fraction * static_cast<double>(samples_.size())));
      return std::chrono::duration<double, std::micro>(samples_[index]).count();
    };
    state.counters["p50_us"] = at(0.50);
    state.counters["p99_us"] = at(0.99);
  }

 private:
  std::vector<Clock::duration> samples_;
};

// Runs `operation` once per benchmark iteration, each run timed on its own, and reports the
// median and the 99th percentile beside Google Benchmark's mean.
template <typename Operation>
void measureEachIteration(benchmark::State& state, Operation&& operation) {
  LatencyCounters latency;
  for (auto _ : state) {
    const auto start = LatencyCounters::Clock::now();
    operation();
    latency.add(LatencyCounters::Clock::now() - start);
  }
  latency.report(state);
}
