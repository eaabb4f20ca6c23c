#!/usr/bin/env bash
# Runs Tolvek on this machine: installs what the build needs (as root, on Debian), builds
# the host and its Dart-side peer, starts the host from a private copy of its bundle with
# a private HOME and engine socket, takes the tour of every channel and export it offers
# (one JSON line per step, then the host's exit), and quits the host.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh default
cmake --build --preset default -j"$(nproc)" --target Tolvek tolvek-dart
exec build/tools/tolvek-dart/tolvek-dart tour --bundle build/Tolvek.app
