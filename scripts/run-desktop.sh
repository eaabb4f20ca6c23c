#!/usr/bin/env bash
# Runs Tolvek on a real desktop on a machine without a display: as scripts/run.sh, but the
# host shows its window on an X server of its own. Starts Xvfb (one 1440 x 900 screen) and
# the openbox window manager, takes the tour with TOLVEK_DESKTOP=gtk, saves the picture of
# the main window (default: window.png), and stops both servers.
#
#   scripts/run-desktop.sh [PICTURE.png]
set -euo pipefail
cd "$(dirname "$0")/.."
picture=$(realpath -m "${1:-window.png}")
scripts/setup.sh default
cmake --build --preset default -j"$(nproc)" --target Tolvek tolvek-dart

scratch=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT

# Xvfb picks a free display and writes its number.
Xvfb -displayfd 3 -screen 0 1440x900x24 -nolisten tcp 3>"$scratch/display" 2>/dev/null &
pids+=($!)
for _ in $(seq 100); do [[ -s $scratch/display ]] && break; sleep 0.1; done
export DISPLAY=":$(head -n1 "$scratch/display")"
openbox --sm-disable 2>/dev/null &
pids+=($!)
for _ in $(seq 100); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
  sleep 0.1
done

TOLVEK_DESKTOP=gtk GSETTINGS_BACKEND=memory NO_AT_BRIDGE=1 \
  build/tools/tolvek-dart/tolvek-dart tour --bundle build/Tolvek.app --snapshot "$picture"
