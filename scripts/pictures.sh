#!/usr/bin/env bash
# Makes the pictures the project ships from real frames of the program: the
# README's first frame and turning wheel, and the desktop icon.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/deps.sh test
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target fairground -j "$(nproc)"
mkdir -p docs

scripts/screenshot.sh build/fairground docs/fairground.png
convert docs/fairground.png -crop 440x440+180+0 +repage -resize 128x128 packaging/fairground.png

wheel=$(mktemp --suffix=.gif)
trap 'rm -f "$wheel"' EXIT
scripts/screenshot.sh --click 1 --wait 300 --frames 16 --interval 60 build/fairground "$wheel"
convert "$wheel" -coalesce -resize 50% -colors 64 -layers Optimize docs/wheel.gif
echo "docs/fairground.png, docs/wheel.gif and packaging/fairground.png are new"
