#!/usr/bin/env bash
# Benchmarks (Google Benchmark): builds the host and the benchmark programs with the
# default preset (RelWithDebInfo) and runs each program in turn. Latency benchmarks print
# their median and 99th percentile per iteration as counters (p50_us, p99_us); each
# measurement sits beside its floor, measured in the same run (see docs/performance.md).
# Arguments go to every program, e.g. --benchmark_filter=Float64.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh default
programs=$(ls bench/*.cpp | sed 's|bench/\(.*\)\.cpp|bench_\1|')
# shellcheck disable=SC2086 # one target per word
cmake --build --preset default -j2 --target Tolvek $programs
for program in $programs; do
  echo "==== $program"
  "build/bench/$program" --benchmark_counters_tabular=true "$@"
done
