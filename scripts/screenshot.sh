#!/bin/bash
# Runs the program on a private virtual X server and saves a picture of its
# window.
usage() {
    cat <<'EOF'
usage: screenshot.sh [options] PROGRAM OUTPUT

Starts PROGRAM (the built fairground) on a private Xvfb, waits for its first
frame, performs the actions given, saves the window to OUTPUT and stops
everything again.

Actions, performed in the order given:
  --keys TEXT        type TEXT into the window (capitals with Shift)
  --key NAME         press one key by X keysym name, e.g. Escape
  --click BUTTON     click a mouse button in the window's centre (1 left, 3 right)
  --wait MS          let the program run for MS milliseconds

Options:
  --frames N         save N pictures as an animated GIF (OUTPUT ends in .gif)
  --interval MS      time between the frames of a GIF (default 100)
  --use-display      use the current $DISPLAY instead of a private server
  -h, --help         show this text
EOF
}
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
xvfb_script=$here/../tests/e2e/xvfb.sh

actions=()
frames=1
interval=100
use_display=0
while [ $# -gt 0 ]; do
    case $1 in
    --keys | --key | --click | --wait)
        [ $# -ge 2 ] || { usage >&2; exit 2; }
        actions+=("$1" "$2")
        shift 2
        ;;
    --frames) frames=$2; shift 2 ;;
    --interval) interval=$2; shift 2 ;;
    --use-display) use_display=1; shift ;;
    -h | --help) usage; exit 0 ;;
    -*) echo "screenshot.sh: unknown option $1" >&2; usage >&2; exit 2 ;;
    *) break ;;
    esac
done
[ $# -eq 2 ] || { usage >&2; exit 2; }
program=$1
output=$2
[ -x "$program" ] || { echo "screenshot.sh: $program is not an executable" >&2; exit 1; }
if [ "$frames" -gt 1 ] && [[ $output != *.gif ]]; then
    echo "screenshot.sh: --frames needs a .gif output" >&2
    exit 2
fi

mkdir -p "$(dirname "$output")"
work=$(mktemp -d)
program_pid=
cleanup() {
    if [ -n "$program_pid" ]; then
        kill "$program_pid" 2>/dev/null || true
        wait "$program_pid" 2>/dev/null || true
    fi
    if [ "$use_display" = 0 ]; then
        sh "$xvfb_script" stop "$work/xvfb" || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "screenshot.sh: $*" >&2
    exit 1
}

# poll TENTHS COMMAND...: runs COMMAND until it succeeds, for at most
# TENTHS tenths of a second.
poll() {
    local limit=$1 tries=0
    shift
    until "$@"; do
        [ "$tries" -lt "$limit" ] || return 1
        sleep 0.1
        tries=$((tries + 1))
    done
}

if [ "$use_display" = 0 ]; then
    sh "$xvfb_script" start "$work/xvfb" >/dev/null || fail "could not start Xvfb"
    DISPLAY=$(cat "$work/xvfb/display")
    export DISPLAY
    # Xvfb has no GPU: Mesa's software renderer draws.
    export LIBGL_ALWAYS_SOFTWARE=1
fi
[ -n "${DISPLAY:-}" ] || fail "no DISPLAY to use"

# The window title is argv[0]: a name of our own finds the window surely.
title=fairground-screenshot-$$
(exec -a "$title" "$program" >/dev/null) &
program_pid=$!

window=
running() {
    kill -0 "$program_pid" 2>/dev/null || fail "the program ended early (see its output above)"
}
find_window() {
    running
    window=$(xdotool search --onlyvisible --name "^$title\$" 2>/dev/null | head -n 1)
    [ -n "$window" ]
}
poll 300 find_window || fail "the program's window did not appear"

capture() {
    import -silent -window "$window" "$1"
}
colours() {
    capture "$work/probe.png" 2>/dev/null && identify -format '%k' "$work/probe.png"
}
# Before the first frame the window is one colour.
first_frame_drawn() {
    local n
    running
    n=$(colours) && [ "$n" -gt 1 ]
}
poll 300 first_frame_drawn || fail "the program drew no frame"
capture "$work/before.png"

changed_since_before() {
    capture "$work/probe.png" 2>/dev/null || return 1
    local differing
    differing=$(compare -metric AE "$work/before.png" "$work/probe.png" null: 2>&1 >/dev/null || true)
    [ "${differing%% *}" != 0 ]
}

set -- "${actions[@]+"${actions[@]}"}"
while [ $# -gt 0 ]; do
    # With no window manager the keyboard follows the pointer.
    xdotool mousemove --window "$window" 400 300
    case $1 in
    --keys) xdotool type --delay 20 -- "$2" ;;
    --key) xdotool key -- "$2" ;;
    --click) xdotool click "$2" ;;
    --wait) sleep "$(awk "BEGIN { print $2 / 1000 }")" ;;
    esac
    shift 2
done
if [ ${#actions[@]} -gt 0 ]; then
    # Most actions change the picture; give up waiting after a while for
    # those that do not.
    poll 50 changed_since_before || true
fi

if [ "$frames" -le 1 ]; then
    capture "$output"
else
    for ((i = 0; i < frames; i++)); do
        capture "$work/frame-$(printf %04d "$i").png"
        sleep "$(awk "BEGIN { print $interval / 1000 }")"
    done
    convert -delay "$((interval / 10))" -loop 0 "$work"/frame-*.png "$output"
fi
echo "$output"
