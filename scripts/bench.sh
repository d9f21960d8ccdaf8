#!/usr/bin/env bash
# Builds the benchmark, runs it on a real window and prints one table: frame
# times of the scene and of a bare clear-and-swap, start-up of the program
# and of a bare window, whether the program sleeps when nothing moves, its
# peak memory, and the share of a frame's instructions that is its own code.
# With no display it runs in a private virtual X server with a window manager.
# --web instead builds the page and prints what its frames cost in Chromium's
# headless shell while the wheel turns (bench/web_bench.py).
#   scripts/bench.sh [--no-profile] [--seconds S] [--startup-runs N] [--cpu-seconds S]
#   scripts/bench.sh --web [--seconds S]
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "${1:-}" = --web ]; then
  scripts/deps.sh test web
  built=$(scripts/web.sh 2>&1) || { echo "$built" >&2; exit 1; }
  python=python3
  [ -x /usr/bin/python3 ] && python=/usr/bin/python3 # the system's, which has python3-websocket
  echo "Fairground benchmark of the page, $(date -u '+%Y-%m-%d %H:%M UTC')"
  echo "command: scripts/bench.sh $*"
  exec "$python" bench/web_bench.py build-web/fairground.html "${@:2}"
fi

if [ -z "${FAIRGROUND_BENCH_DISPLAY:-}" ]; then
  scripts/deps.sh bench
  cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFAIRGROUND_BENCH=ON >/dev/null
  cmake --build build --target fairground_bench -j "$(nproc)" >/dev/null
  if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    FAIRGROUND_BENCH_DISPLAY="display $DISPLAY" exec "$0" "$@"
  fi
  FAIRGROUND_BENCH_DISPLAY="private Xvfb 1920x1200, openbox" XVFB_SCREEN=1920x1200x24 \
    exec scripts/xdrive.sh with_xvfb "$0" "$@"
fi

profile=yes
args=()
for arg in "$@"; do
  if [ "$arg" = --no-profile ]; then profile=no; else args+=("$arg"); fi
done

if [[ $FAIRGROUND_BENCH_DISPLAY == private* ]]; then
  openbox >/dev/null 2>&1 &
  window_manager=$!
  trap 'kill $window_manager' EXIT
  for _ in $(seq 100); do  # windows opened before it is up may never be mapped
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.1
  done
fi

echo "Fairground benchmark, $(date -u '+%Y-%m-%d %H:%M UTC'), $FAIRGROUND_BENCH_DISPLAY"
echo "command: scripts/bench.sh${*:+ $*}"
build/bench/fairground_bench "${args[@]}" 2> >(grep -v '^ATTENTION: default value of option vblank_mode' >&2)
if [ "$profile" = yes ]; then
  bench/own_code_share.sh build/bench/fairground_bench
fi
