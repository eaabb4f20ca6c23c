#!/usr/bin/env bash
# Installs what building and testing the host needs on a Debian machine, then configures
# the given CMake preset (default: "default"). Safe to run again: it installs only what is
# missing, and only when run as root.
set -euo pipefail

packages=(build-essential cmake ninja-build g++ clang libclang-rt-dev pkg-config
  libgtest-dev libgmock-dev googletest libbenchmark-dev libplist-dev nlohmann-json3-dev
  libffi-dev libsystemd-dev shared-mime-info python3
  libgtk-3-dev libx11-dev libxtst-dev xvfb openbox x11-utils xclip)

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
    missing+=("$package")
done
if ((${#missing[@]})); then
  if [[ $(id -u) -eq 0 ]]; then
    echo "setup: installing ${missing[*]}" >&2
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq "${missing[@]}" >/dev/null
  else
    echo "setup: missing packages (run as root to install): ${missing[*]}" >&2
    exit 1
  fi
fi

cd "$(dirname "$0")/.."
cmake --preset "${1:-default}" >/dev/null
