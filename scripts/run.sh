#!/usr/bin/env bash
# Runs Tolvek on this machine: installs what the build needs (as root, on Debian), builds
# the host and its Dart-side peer, starts the host from a private copy of its bundle with
# a private HOME and engine socket, takes the tour of every channel and export it offers
# (one JSON line per step), and quits the host.
#
#   scripts/run.sh            JOBS=4 scripts/run.sh
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(build-essential cmake ninja-build g++ pkgconf libgtest-dev libgmock-dev
  libbenchmark-dev libplist-dev nlohmann-json3-dev libffi-dev shared-mime-info)
missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
    missing+=("$package")
done
if ((${#missing[@]})); then
  if [[ $(id -u) == 0 ]]; then
    apt-get update
    DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
  else
    echo "run.sh: missing packages: ${missing[*]} (run as root to install them)" >&2
    exit 1
  fi
fi

cmake --preset default >/dev/null
cmake --build --preset default -j"${JOBS:-2}" --target Tolvek tolvek-dart
exec build/tools/tolvek-dart/tolvek-dart tour --bundle build/Tolvek.app
