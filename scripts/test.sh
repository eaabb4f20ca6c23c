#!/usr/bin/env bash
# Builds the host and runs every test: the whole suite with the default build.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh default
cmake --build --preset default -j"$(nproc)"
ctest --preset default -j"$(nproc)"
