#!/usr/bin/env bash
# One test of the page, build-web/fairground.html, in one browser engine
# (chromium, firefox or webkit), driven by drive.py and judged against the
# Linux program.
#   web_test.sh linux_scenes DIR XVFB_DIR PROGRAM   the Linux program's scenes, on the suite's Xvfb, into DIR
#   web_test.sh ENGINE page PAGE                    banner, title, canvas, first frame
#   web_test.sh ENGINE scenes PAGE DIR              the scenes against the Linux program's in DIR
#   web_test.sh ENGINE animation|full_screen PAGE
# Pictures count as the same where colours differ by at most 5 %; the
# renderers rasterise edges and lines a little differently.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../scripts/xdrive.sh"
engine=$1 test=${2:-}
tmp=$(mktemp -d)
trap 'app_stop; xvfb_stop "$tmp/x"; rm -rf "$tmp"' EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}
# within BOUND NAME PICTURE REFERENCE: at most BOUND pixels differ.
within() {
    local count
    count=$(compare -metric AE -fuzz 5% "$3" "$4" null: 2>&1 || true)
    echo "$2: $count pixels differ (at most $1)"
    [ "$count" -le "$1" ] || fail "$2 differs in $count pixels"
}

# The scenes and their keys, typed into the page and the Linux program alike.
scenes=(wireframe=W camera_4=4 camera_5=5 camera_6=6 camera_0=0 lamps_larger=LLL lamps_smaller=l
    lamp_colour=mmmmmmmmmmnnnnnooo surface_colour=rrrGGGuu light_moved=aaaaaBBBcc lights_1_to_3_off=123
    wireframe_4=W4 wireframe_5=W5 wireframe_6=W6 wireframe_0=W0)

# changed_and_still FILE: the Linux program shows what FILE held when last
# called, and no longer its first frame.
changed_and_still() {
    app_shot "$tmp/now.png" && ! app_shows "$tmp/first.png" && cmp -s "$tmp/now.png" "$1" ||
        { cp "$tmp/now.png" "$1" && false; }
}

if [ "$engine" = linux_scenes ]; then
    dir=$2 program=$4
    DISPLAY=:$(cat "$3/display")
    export DISPLAY
    rm -rf "$dir"
    mkdir -p "$dir"
    for scene in "${scenes[@]}"; do
        app_start "$program" "$program" >/dev/null 2>&1
        app_first_frame "$tmp/first.png"
        app_keys "${scene#*=}"
        poll 30 changed_and_still "$dir/${scene%%=*}.png" || fail "the Linux program did not settle after ${scene#*=}"
        app_stop
    done
    exit
fi

page=$3
# Firefox and WebKit draw WebGL only on an X server: one of their own.
[ "$engine" = chromium ] || xvfb_start "$tmp/x"
drive() { "${PYTHON:-python3}" "$here/drive.py" "$engine" "$page" "$@"; }
case $test in
page)
    drive page "$tmp"
    diff "$tmp/banner.txt" "$here/../e2e/banner.txt" || fail "the banner differs from tests/e2e/banner.txt (>)"
    within 500 start "$tmp/start.png" "$here/../../docs/fairground.png"
    ;;
scenes)
    mkdir "$tmp/page"
    drive scenes "$tmp/page" "${scenes[@]}"
    for scene in "${scenes[@]}"; do
        name=${scene%%=*}
        bound=500
        [[ $name != wireframe* ]] || bound=1500
        within "$bound" "$name" "$tmp/page/$name.png" "$4/$name.png"
    done
    ;;
*)
    drive "$test"
    ;;
esac
