#!/usr/bin/env bash
# Builds and runs the benchmark and prints its table, then the share of a
# frame's instructions spent in the program's own code. Options go to the
# benchmark (--seconds S, --json, --startup-runs N); --no-profile skips the
# instruction count. With no display it all runs in a virtual X server.
set -euo pipefail
cd "$(dirname "$0")/.."

profile=yes
args=()
for arg in "$@"; do
  if [ "$arg" = --no-profile ]; then profile=no; else args+=("$arg"); fi
done

scripts/deps.sh bench
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target fairground_bench -j "$(nproc)"

on_display() {
  if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then "$@"
  else xvfb-run -a -s "-screen 0 1920x1200x24" "$@"; fi
}

on_display build/bench/fairground_bench "${args[@]}"
if [ "$profile" = yes ]; then
  echo
  on_display bench/own_code_share.sh build/bench/fairground_bench
fi
