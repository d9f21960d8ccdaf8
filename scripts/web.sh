#!/usr/bin/env bash
# Makes the page: Fairground built by Emscripten into one self-contained
# file, build-web/fairground.html, with its script and WebAssembly inline,
# which runs when opened from disk or put on any static web host.
#
#   scripts/web.sh [--serve [PORT]]    --serve also serves build-web/ on
#                                      localhost (port 8000 unless given)
set -euo pipefail
cd "$(dirname "$0")/.."
serve=false port=8000
if [ "${1:-}" = --serve ]; then
  serve=true
  port=${2:-8000}
elif [ $# -gt 0 ]; then
  echo "usage: scripts/web.sh [--serve [PORT]]" >&2
  exit 2
fi

scripts/deps.sh web
# Debian's emcc finds Debian's own JavaScript modules only through NODE_PATH
# when Node.js comes from elsewhere.
export NODE_PATH=${NODE_PATH:-/usr/share/nodejs}
emcmake cmake -S . -B build-web -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build build-web -j 2
page=$PWD/build-web/fairground.html
echo "The page: $page ($(($(stat -c %s "$page") / 1024)) KiB)"
if $serve; then
  echo "Serving build-web/ at http://localhost:$port/fairground.html (Ctrl-C stops)"
  exec python3 -m http.server --bind 127.0.0.1 --directory build-web "$port"
fi
