#!/usr/bin/env bash
# What share of a frame's instructions is Fairground's own code, as opposed
# to GL, GLU, GLUT, the driver and the C library they call. Counted by
# callgrind, which is repeatable on a busy machine. Needs a display.
#   bench/own_code_share.sh BENCH_BINARY [FRAMES]
set -euo pipefail
bench=$1
frames=${2:-20}
out=$(mktemp)
trap 'rm -f "$out"' EXIT

valgrind --tool=callgrind --callgrind-out-file="$out" '--toggle-collect=profiledFrame()' \
  "$bench" --profile-frames "$frames" >/dev/null 2>&1

callgrind_annotate --inclusive=no --threshold=100 "$out" 2>/dev/null | awk -v own="$(basename "$bench")" -v frames="$frames" '
  /PROGRAM TOTALS/ { gsub(",", "", $1); total = $1 }
  /\[.*\]$/ && total {
    count = $1; gsub(",", "", count)
    if (index($NF, "/" own "]")) { mine += count; if (shown++ < 5) {
      name = $0; sub(/^ *[0-9,]+ +\( *[0-9.]+%\) +/, "", name); sub(/ \[[^]]*\]$/, "", name)
      top = top sprintf("  %14s  %s\n", $1, name) } }
  }
  END {
    if (!total) { print "no instructions collected"; exit 1 }
    printf "instructions per frame     %14.0f\n", total / frames
    printf "own code per frame         %14.0f\n", mine / frames
    printf "own code share             %13.3f%%\n", 100 * mine / total
    printf "own functions, most first (all frames):\n%s", top
  }'
