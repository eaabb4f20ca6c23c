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

  struct Summary {
    double p50_us = 0;
    double p99_us = 0;
  };

  Summary report(benchmark::State& state) {
    if (samples_.empty()) return {};
    std::sort(samples_.begin(), samples_.end());
    auto at = [this](double fraction) {
      const size_t index =
          std::min(samples_.size() - 1,
                   static_cast<size_t>(fraction * static_cast<double>(samples_.size())));
      return std::chrono::duration<double, std::micro>(samples_[index]).count();
    };
    const Summary summary{at(0.50), at(0.99)};
    state.counters["p50_us"] = summary.p50_us;
    state.counters["p99_us"] = summary.p99_us;
    return summary;
  }

 private:
  std::vector<Clock::duration> samples_;
};

// Runs `operation` once per benchmark iteration, each run timed on its own, and reports the
// median and the 99th percentile beside Google Benchmark's mean.
template <typename Operation>
LatencyCounters::Summary measureEachIteration(benchmark::State& state, Operation&& operation) {
  LatencyCounters latency;
  for (auto _ : state) {
    const auto start = LatencyCounters::Clock::now();
    operation();
    latency.add(LatencyCounters::Clock::now() - start);
  }
  return latency.report(state);
}

// The floor's median and 99th percentile beside a measurement's, from the same run, and
// the measurement's ratio to each.
inline void reportBesideFloor(benchmark::State& state, LatencyCounters::Summary measured,
                              LatencyCounters::Summary floor) {
  if (floor.p50_us <= 0 || floor.p99_us <= 0) return;
  state.counters["floor_p50_us"] = floor.p50_us;
  state.counters["floor_p99_us"] = floor.p99_us;
  state.counters["p50_x_floor"] = measured.p50_us / floor.p50_us;
  state.counters["p99_x_floor"] = measured.p99_us / floor.p99_us;
}
