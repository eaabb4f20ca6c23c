#!/usr/bin/env bash
# Builds the host and runs every test, in phases, each under its own header:
#   default  the whole suite, RelWithDebInfo (with the benchmarks built, not run), each
#            fuzz target's checked-in corpus replayed as a test (label fuzz);
#   tsan     the concurrency and end-to-end tests under ThreadSanitizer;
#   asan     the whole suite under AddressSanitizer, LeakSanitizer and
#            UndefinedBehaviorSanitizer, the fuzz corpora replayed again under them;
#   fuzz     (on request) the libFuzzer build: each target over its corpus, then fuzzing.
# Every phase runs even when an earlier one failed; the script exits non-zero when any
# phase failed. It ends with a line per phase and then ctest's own summary lines of each
# test run again, a failed run's last.
#
#   TOLVEK_TEST_PHASES   the phases to run (default "default tsan asan"; with libFuzzer
#                        too: TOLVEK_TEST_PHASES="default tsan asan fuzz" scripts/test.sh)
#   TOLVEK_FUZZ_SECONDS  fuzz phase: fuzzing time per target after its corpus (default 20;
#                        0: the corpus only)
set -uo pipefail
cd "$(dirname "$0")/.."

jobs=2  # the machine's two cores; more only thrashes
fuzz_seconds=${TOLVEK_FUZZ_SECONDS:-20}
phases=${TOLVEK_TEST_PHASES:-default tsan asan}
# The tests that exercise threads: the folders whose code is called from many threads at
# once (the transport, the exports, the pasteboard, the main queue, channels) and every
# end-to-end test, which runs the real host with its I/O and Dart threads.
tsan_labels='^(appkit|clipboard|e2e|flutter|scale|transport|window)$'

# Sanitizer run-time options, for the test programs and for every host they start.
# Stop at the first report and fail the test; LeakSanitizer checks each process at exit.
export ASAN_OPTIONS="halt_on_error=1:detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
# No suppressions for the host's code: every report is ours to fix. The hosts that the
# desktop tests run on GTK pass over what the toolkit's own libraries keep for the life of
# the process (tests/data/gtk-desktop.supp, which says what and why).
export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1"

failed=()
started=$SECONDS
phase_started=$SECONDS
logs=$(mktemp -d)
trap 'rm -rf "$logs"' EXIT

header() {
  phase_started=$SECONDS
  printf '\n==== %s ====\n' "$*"
}

footer() {
  local line
  line=$(printf -- '---- %s: %s in %ds' "$1" "$2" $((SECONDS - phase_started)))
  echo "$line"
  echo "$line" >>"$logs/phases"
  [[ $2 == passed ]] || failed+=("$1")
}

# ctest with its summary kept for the end of the output.
run_ctest() {
  local preset=$1
  shift
  ctest --preset "$preset" -j"$jobs" "$@" | tee "$logs/ctest-$preset"
  local status=${PIPESTATUS[0]}
  grep -E '^[0-9]+% tests passed|^Total Test time' "$logs/ctest-$preset" >"$logs/summary-$preset"
  ((status == 0)) || mv "$logs/summary-$preset" "$logs/summary-zz-failed-$preset"
  return "$status"
}

configure() { scripts/setup.sh "$1" || return 1; }

build() {
  local preset=$1
  shift
  cmake --build --preset "$preset" -j"$jobs" "$@"
}

# The test programs of the given test folders, with what the end-to-end tests start.
test_targets() {
  local targets=()
  for dir in tests/*/; do
    local area
    area=$(basename "$dir")
    [[ $area =~ $1 ]] && compgen -G "$dir*.cpp" >/dev/null && targets+=("tests_$area")
  done
  echo "${targets[@]}"
}

phase_default() {
  header "default: build, then the whole test suite"
  if configure default && build default && run_ctest default; then
    footer default passed
  else
    footer default FAILED
  fi
}

phase_fuzz() {
  header "fuzz: each target over its corpus, then ${fuzz_seconds}s of fuzzing"
  if ! configure fuzz || ! build fuzz --target $(ls fuzz/*.cpp | sed 's|fuzz/\(.*\)\.cpp|fuzz_\1|'); then
    footer fuzz FAILED
    return
  fi
  local work ok=passed
  work=$(mktemp -d)
  for source in fuzz/*.cpp; do
    local name options=()
    name=$(basename "$source" .cpp)
    mkdir -p "$work/$name"
    [[ -f fuzz/$name.dict ]] && options+=("-dict=fuzz/$name.dict")
    ((fuzz_seconds > 0)) && options+=("-max_total_time=$fuzz_seconds") || options+=("-runs=0")
    echo "-- fuzz_$name"
    # New inputs go to a scratch directory; the checked-in corpus is only read.
    if build-fuzz/fuzz/fuzz_"$name" "${options[@]}" -print_final_stats=1 \
      -artifact_prefix="$work/$name/" "$work/$name" "fuzz/corpus/$name" >"$work/$name.log" 2>&1; then
      grep -E '^#[0-9]+.*(INITED|DONE)|^Done' "$work/$name.log"
    else
      tail -n 60 "$work/$name.log"
      echo "fuzz_$name FAILED; the input that failed is kept in $work/$name/"
      ok=FAILED
    fi
  done
  [[ $ok == passed ]] && rm -rf "$work"
  footer fuzz $ok
}

phase_tsan() {
  header "tsan: concurrency and end-to-end tests under ThreadSanitizer"
  local targets
  targets=$(test_targets "$tsan_labels")
  # shellcheck disable=SC2086 # one target per word
  if configure tsan && build tsan --target $targets &&
    run_ctest tsan -L "$tsan_labels"; then
    footer tsan passed
  else
    footer tsan FAILED
  fi
}

phase_asan() {
  header "asan: the whole test suite under AddressSanitizer and UndefinedBehaviorSanitizer"
  if configure asan && build asan && run_ctest asan; then
    footer asan passed
  else
    footer asan FAILED
  fi
}

for phase in $phases; do
  "phase_$phase"
done

printf '\n==== all phases: %ds; failed: %s ====\n' $((SECONDS - started)) "${failed[*]:-none}"
cat "$logs/phases" 2>/dev/null
for summary in "$logs"/summary-*; do
  [[ -e $summary ]] || continue
  echo "ctest (${summary##*-}):"
  cat "$summary"
done
((${#failed[@]} == 0))
