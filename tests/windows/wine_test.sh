#!/usr/bin/env bash
# What the end-to-end tests leave unchecked in the Windows build under Wine:
#   wine_test.sh XVFB_DIR CHECK PREFIX TITLE EXE LINUX_PROGRAM
# CHECK is prefix (make the Wine prefix), as_on_linux (the client area, and
# the pictures after keys beside the Linux program's), resources (the icon
# that freeglut gives the window, and the version) or wine_exits (no Wine
# process is left once the programs have ended).
set -eEuo pipefail
trap 'echo "FAIL: $BASH_COMMAND (line $LINENO)" >&2' ERR
source "$(dirname "$0")/../../scripts/xdrive.sh"
DISPLAY=:$(cat "$1/display")
export DISPLAY WINEPREFIX=$3 WINEDEBUG=-all
title=$4 exe=$5 linux=$6
tmp=$(mktemp -d)
trap 'app_stop; rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# shoot NAME TITLE COMMAND...: starts the program and presses W, 4 and W
# (wireframe, a camera preset, filled again), keeping the picture before the
# keys and after each as NAME-0.png to NAME-3.png.
shoot() {
    local name=$1 keys=(W 4 W) i
    shift
    app_start "$@" >/dev/null 2>&1
    app_first_frame "$tmp/$name-0.png" || fail "$name: no first frame"
    for i in 1 2 3; do
        app_keys "${keys[i - 1]}"
        poll 10 not app_shows "$tmp/$name-$((i - 1)).png" || fail "$name: ${keys[i - 1]} changed nothing"
        poll 10 app_shot "$tmp/$name-$i.png" || fail "$name: no picture after ${keys[i - 1]}"
    done
}

case $2 in
prefix)
    # No offers to fetch Wine's .NET and browser stand-ins.
    [ -d "$WINEPREFIX" ] || WINEDLLOVERRIDES=mscoree,mshtml= wineboot -i >/dev/null 2>&1 ||
        { rm -rf "$WINEPREFIX"; fail "could not make a Wine prefix"; }
    ;;
as_on_linux)
    shoot linux "$linux" "$linux"
    app_stop
    shoot windows "$title" wine "$exe"
    # With no window manager, the window with the title is the client area.
    eval "$(xdotool getwindowgeometry --shell "$(app_window)")"
    [ "${WIDTH}x$HEIGHT" = 800x600 ] || fail "the client area is ${WIDTH}x$HEIGHT, not 800x600"
    # Windows' freeglut asks for a 24-bit depth buffer, which could make
    # coinciding wireframe edges z-fight unlike on Linux; with Mesa in Xvfb
    # every picture is the same, pixel for pixel.
    for i in 0 1 2 3; do
        count=$(compare -metric AE "$tmp/linux-$i.png" "$tmp/windows-$i.png" null: 2>&1 || true)
        [ "$count" = 0 ] || fail "picture $i (0 first, then after W, 4, W): $count pixels differ from Linux"
    done
    ;;
resources)
    resources=$(wrestool -l "$exe")
    grep -q "^--type=14 --name='GLUT_ICON' .*type=group_icon" <<<"$resources" || fail "no icon group GLUT_ICON in $resources"
    grep -q "type=version" <<<"$resources" || fail "no version resource in $resources"
    ;;
wine_exits)
    timeout 20 wineserver -w || { wineserver -k; fail "Wine still ran 20 s after its last program ended"; }
    ;;
esac
