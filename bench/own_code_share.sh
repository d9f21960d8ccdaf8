#!/usr/bin/env bash
# What share of a frame's instructions is Fairground's own code, as opposed
# to GL, GLU, GLUT, the driver and the C library they call: one row of the
# benchmark's table. Counted by callgrind, which is repeatable on a busy
# machine, on the drawing thread only. Needs a display.
#   bench/own_code_share.sh BENCH_BINARY [FRAMES]
set -euo pipefail
bench=$1
frames=${2:-20}
out=$(mktemp)
trap 'rm -f "$out"' EXIT

vblank_mode=0 valgrind --tool=callgrind --callgrind-out-file="$out" '--toggle-collect=profiledFrame()' \
  "$bench" --profile-frames "$frames" >/dev/null 2>&1

callgrind_annotate --inclusive=no --threshold=100 "$out" 2>/dev/null | awk -v own="$(basename "$bench")" -v frames="$frames" '
  /PROGRAM TOTALS/ { gsub(",", "", $1); total = $1 }
  /\[.*\]$/ && total && index($NF, "/" own "]") { count = $1; gsub(",", "", count); mine += count }
  END {
    if (!total) { print "| own code share of a frame | not measured: callgrind collected nothing |"; exit 1 }
    printf "| own code share of a frame | %.2f %% of its instructions (%.0f k of %.1f M, drawing thread) |\n",
      100 * mine / total, mine / frames / 1000, total / frames / 1e6
  }'
