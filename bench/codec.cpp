// Encode and decode with the standard message codec: Flutter's channel-benchmark payload,
// a device-info-sized reply map, and a 1 MiB Float64 list beside its floor, memcpy of the
// same bytes, measured first in the same run (p50_x_floor, p99_x_floor).
#include <benchmark/benchmark.h>

#include <cstring>

#include "bench/LatencyCounters.h"
#include "macos/Flutter/codec/FlutterMessageCodec.h"
#include "tests/support/ChannelBenchmarkPayload.h"

namespace {

EncodableValue deviceInfoMap() {
  return EncodableValue(EncodableMap{
      {EncodableValue("computerName"), EncodableValue("Studio")},
      {EncodableValue("hostName"), EncodableValue("Darwin")},
      {EncodableValue("arch"), EncodableValue("x86_64")},
      {EncodableValue("model"), EncodableValue("Mac14,13")},
      {EncodableValue("modelName"), EncodableValue("Mac Studio (2023)")},
      {EncodableValue("kernelVersion"),
       EncodableValue("Darwin Kernel Version 23.5.0: Wed May  1 20:12:58 PDT 2024")},
      {EncodableValue("osRelease"), EncodableValue("Version 14.5 (Build 23F79)")},
      {EncodableValue("majorVersion"), EncodableValue(int64_t{14})},
      {EncodableValue("minorVersion"), EncodableValue(int64_t{5})},
      {EncodableValue("patchVersion"), EncodableValue(int64_t{0})},
      {EncodableValue("activeCPUs"), EncodableValue(12)},
      {EncodableValue("memorySize"), EncodableValue(int64_t{34359738368})},
      {EncodableValue("cpuFrequency"), EncodableValue(int64_t{0})},
      {EncodableValue("systemGUID"), EncodableValue("564D2A6E-1E5B-4B76-9A8F-2F1F0C3B7A10")}});
}

EncodableValue float64List() { return EncodableValue(std::vector<double>(1 << 17, 1.5)); }

const FlutterStandardMessageCodec& codec() {
  return *FlutterStandardMessageCodec::sharedInstance();
}

// The floor's figures from this run: copying 1 MiB.
LatencyCounters::Summary gMemcpyFloor;

// Each iteration timed on its own too, for the median and the 99th percentile; a list of
// 1 MiB is reported beside the floor.
void encode(benchmark::State& state, const EncodableValue& value) {
  const auto measured =
      measureEachIteration(state, [&] { benchmark::DoNotOptimize(codec().encode(value)); });
  const auto size = codec().encode(value).size();
  if (size >= (1u << 20)) reportBesideFloor(state, measured, gMemcpyFloor);
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(size));
}

void decode(benchmark::State& state, const EncodableValue& value) {
  const auto bytes = codec().encode(value);
  const auto measured =
      measureEachIteration(state, [&] { benchmark::DoNotOptimize(codec().decode(bytes)); });
  if (bytes.size() >= (1u << 20)) reportBesideFloor(state, measured, gMemcpyFloor);
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes.size()));
}

// The floor of the Float64 list: copying its bytes into a fresh buffer, as a decoder must.
void BM_Memcpy1MiB(benchmark::State& state) {
  std::vector<uint8_t> source(1 << 20, 1), destination(1 << 20);
  gMemcpyFloor = measureEachIteration(state, [&] {
    std::memcpy(destination.data(), source.data(), source.size());
    benchmark::ClobberMemory();
  });
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(source.size()));
}

BENCHMARK(BM_Memcpy1MiB);
BENCHMARK_CAPTURE(encode, ChannelPayload14KB, channelBenchmarkPayload());
BENCHMARK_CAPTURE(decode, ChannelPayload14KB, channelBenchmarkPayload());
BENCHMARK_CAPTURE(encode, DeviceInfoMap, deviceInfoMap());
BENCHMARK_CAPTURE(decode, DeviceInfoMap, deviceInfoMap());
BENCHMARK_CAPTURE(encode, Float64List1MiB, float64List());
BENCHMARK_CAPTURE(decode, Float64List1MiB, float64List());

}  // namespace

BENCHMARK_MAIN();
