#!/usr/bin/env bash
# Makes the pictures the project ships from real frames of the program: the
# README's first frame and turning wheel, and the icon at every size the
# desktops, the window and Windows use, from a square of the first frame.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/deps.sh test
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target fairground -j "$(nproc)"
mkdir -p docs

scripts/screenshot.sh build/fairground docs/fairground.png
square=(docs/fairground.png -crop 440x440+180+0 +repage)
mkdir -p packaging/icons
for size in 16 32 48 64 128; do
  icon=packaging/icons/fairground-$size
  convert "${square[@]}" -resize "${size}x$size" -define png:exclude-chunks=date,time "$icon.png"
  # The same pixels, raw, for the build to turn into the window's icon.
  convert "$icon.png" -depth 8 "RGBA:$icon.rgba"
done
# Windows' icon holds the same pixels, and 256 for Explorer's largest view.
convert packaging/icons/fairground-{16,32,48,64,128}.png \( "${square[@]}" -resize 256x256 \) -type TrueColorAlpha packaging/fairground.ico

wheel=$(mktemp --suffix=.gif)
trap 'rm -f "$wheel"' EXIT
scripts/screenshot.sh --click 1 --wait 300 --frames 16 --interval 60 build/fairground "$wheel"
convert "$wheel" -coalesce -resize 50% -colors 64 -layers Optimize docs/wheel.gif
echo "docs/fairground.png, docs/wheel.gif, packaging/icons and packaging/fairground.ico are new"
