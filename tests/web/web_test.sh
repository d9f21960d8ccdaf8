#!/usr/bin/env bash
# One test of the page, build-web/fairground.html, in Chromium's headless
# shell, driven by drive.py and judged against the Linux program.
#   web_test.sh page PAGE                      banner, title, canvas, first frame
#   web_test.sh scenes PAGE XVFB_DIR PROGRAM   scenes against the Linux program on the suite's Xvfb
#   web_test.sh animation|full_screen PAGE
# Pictures count as the same where colours differ by at most 5 %; the two
# renderers rasterise edges and lines a little differently.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../scripts/xdrive.sh"
test=$1 page=$2
tmp=$(mktemp -d)
trap 'app_stop; rm -rf "$tmp"' EXIT
drive() { "${PYTHON:-python3}" "$here/drive.py" "$page" "$@"; }
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

# linux_shot KEYS FILE: the Linux program's picture once KEYS have had their effect.
linux_shot() {
    app_start "$program" "$program" >/dev/null 2>&1
    app_first_frame "$tmp/first.png"
    app_keys "$1"
    poll 30 changed_and_still "$2" || fail "the Linux program did not settle after $1"
    app_stop
}
changed_and_still() {
    app_shot "$tmp/now.png" && ! app_shows "$tmp/first.png" && cmp -s "$tmp/now.png" "$1" ||
        { cp "$tmp/now.png" "$1" && false; }
}

case $test in
page)
    drive page "$tmp"
    diff "$tmp/banner.txt" "$here/../e2e/banner.txt" || fail "the banner differs from tests/e2e/banner.txt (>)"
    within 500 start "$tmp/start.png" "$here/../../docs/fairground.png"
    ;;
scenes)
    DISPLAY=:$(cat "$3/display")
    export DISPLAY
    program=$4
    mkdir "$tmp/page"
    drive scenes "$tmp/page" "${scenes[@]}"
    for scene in "${scenes[@]}"; do
        name=${scene%%=*}
        linux_shot "${scene#*=}" "$tmp/$name.png"
        bound=500
        [[ $name != wireframe* ]] || bound=1500
        within "$bound" "$name" "$tmp/page/$name.png" "$tmp/$name.png"
    done
    ;;
*)
    drive "$test"
    ;;
esac
