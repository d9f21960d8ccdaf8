#!/usr/bin/env bash
# Builds Fairground and runs it. With no display to open a window on, it
# runs the program in a virtual X server instead and saves a screenshot.
set -euo pipefail
cd "$(dirname "$0")/.."

headless=yes
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] || [ "$(uname)" = Darwin ]; then headless=no; fi
if [ $headless = yes ]; then scripts/deps.sh build screenshot; else scripts/deps.sh build; fi
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target fairground -j "$(getconf _NPROCESSORS_ONLN)"

[ $headless = no ] && exec build/fairground "$@"
echo "No display here: drawing the first frame in a virtual X server instead."
shot=$(scripts/screenshot.sh build/fairground screenshots/fairground.png)
echo "Saved a picture of its window in $(pwd)/$shot"
