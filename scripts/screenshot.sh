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
source "$here/xdrive.sh"

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
cleanup() {
    app_stop
    [ "$use_display" = 1 ] || xvfb_stop "$work/xvfb"
    rm -rf "$work"
}
trap cleanup EXIT

if [ "$use_display" = 0 ]; then
    xvfb_start "$work/xvfb"
fi
[ -n "${DISPLAY:-}" ] || { echo "screenshot.sh: no DISPLAY to use" >&2; exit 1; }

# GLUT names the window after the program's first argument.
app_start "$program" "$program" >/dev/null
app_first_frame "$work/before.png"

set -- "${actions[@]+"${actions[@]}"}"
while [ $# -gt 0 ]; do
    case $1 in
    --keys) app_keys "$2" ;;
    --key) app_key "$2" ;;
    --click) app_click "$2" ;;
    --wait) sleep "$(awk "BEGIN { print $2 / 1000 }")" ;;
    esac
    shift 2
done
if [ ${#actions[@]} -gt 0 ]; then
    # Most actions change the picture; give up waiting after a while for
    # those that do not.
    poll 5 not app_shows "$work/before.png" || true
fi

if [ "$frames" -le 1 ]; then
    app_shot "$output"
else
    for ((i = 0; i < frames; i++)); do
        app_shot "$work/frame-$(printf %04d "$i").png"
        sleep "$(awk "BEGIN { print $interval / 1000 }")"
    done
    convert -delay "$((interval / 10))" -loop 0 "$work"/frame-*.png "$output"
fi
echo "$output"
