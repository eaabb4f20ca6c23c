#!/usr/bin/env bash
# Soak test (not part of scripts/test.sh): builds the host and its Dart-side peer with
# ThreadSanitizer, starts the host from its bundle and puts a long mixed load on it through
# one peer: 100,000 channel messages, as many FFI calls of the window and clipboard exports
# spread over eight Dart threads, and DESKTOP calls that resize, move, close and reopen the
# window. Prints one JSON line at the start, one per tenth of the load and one at the end
# (counts, unanswered requests, resident memory at start, after the first tenth and at the
# end). Exits 0 only when every request was answered correctly, the host quit with status
# 0 and wrote nothing to standard error (a ThreadSanitizer report would be there; the file
# is kept and named in the last line). Extra arguments go to `tolvek-dart soak`, e.g.
# --messages 20000.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh tsan
cmake --build --preset tsan -j2 --target Tolvek tolvek-dart
export TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 ${TSAN_OPTIONS:-}"
exec build-tsan/tools/tolvek-dart/tolvek-dart --timeout 120 soak --bundle build-tsan/Tolvek.app "$@"
