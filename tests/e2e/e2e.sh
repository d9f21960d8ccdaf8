#!/usr/bin/env bash
# One end-to-end test: the real program on the suite's Xvfb, driven by real
# key, mouse and close events and judged by what a person would see.
#   e2e.sh XVFB_DIR TEST TITLE COMMAND...
# COMMAND starts the program and TITLE names its window. The program runs
# with freeglut's -gldebug, which reports GL errors on standard error; any
# such report fails the test.
set -eEuo pipefail
trap 'echo "FAIL: $BASH_COMMAND (line $LINENO)" >&2' ERR
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../scripts/xdrive.sh"
xvfb_dir=$1 test=$2 title=$3
shift 3
command=("$@" -gldebug)
DISPLAY=:$(cat "$xvfb_dir/display")
export DISPLAY
tmp=$(mktemp -d)
sky='srgb(51,51,51)'

finish() {
    local status=$?
    [ -z "${counter:-}" ] || kill "$counter" 2>/dev/null || true
    app_stop
    if grep -q 'GL error' "$tmp/stderr" 2>/dev/null; then
        echo "FAIL: the program reported GL errors" >&2
        status=1
    fi
    [ "$status" = 0 ] || sed 's/^/program: /' "$tmp/stderr" >&2 || true
    rm -rf "$tmp"
    exit "$status"
}
trap finish EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}
# expect MESSAGE COMMAND...: waits up to ten seconds for COMMAND to succeed.
expect() { poll 10 "${@:2}" || fail "$1"; }

# start: runs the program (standard output as the caller redirects it) and
# waits for its first frame, kept in $tmp/first.png.
start() {
    app_start "$title" "${command[@]}" 2>"$tmp/stderr"
    app_first_frame "$tmp/first.png"
}

banner_is() {
    # Windows builds end their lines in CR LF.
    sed 's/\r$//' "$1" | diff - "$here/banner.txt" || fail "the banner differs from banner.txt (>)"
}
now() { app_shot "$tmp/now.png"; }
corner_is() { now && [ "$(convert "$tmp/now.png" -format '%[pixel:p{0,0}]' info:)" = "$1" ]; }
differing() { compare -metric AE -precision 12 "$1" "$2" null: 2>&1 || true; }
# sky_mask PICTURE MASK: MASK is white where PICTURE shows the sky colour.
sky_mask() { convert "$1" -fill black +opaque "$sky" -fill white -opaque "$sky" "$2"; }
mostly_sky() {
    now && sky_mask "$tmp/now.png" "$tmp/mask.png" &&
        [ "$(convert "$tmp/mask.png" -format '%[fx:mean > 0.8]' info:)" = 1 ]
}
sky_moved() {
    now && sky_mask "$tmp/now.png" "$tmp/mask.png" && [ "$(differing "$tmp/still.png" "$tmp/mask.png")" -gt 500 ]
}

# closes_with_status_0 [--window-manager]: a close request ends the program
# cleanly.
closes_with_status_0() {
    "${PYTHON:-python3}" "$here/request_close.py" "$(app_window)" "$@"
    local pid=$app_pid
    # poll gives up once the program has ended, which is what is awaited here.
    app_pid='' expect "the program still runs after a close request" not alive "$pid"
    wait "$pid" && status=0 || status=$?
    [ "$status" = 0 ] || fail "exit status $status after a close request"
}
# framed: where the window $window's frame stands and how large its inside is.
framed() {
    local x y width height left top
    read -r x y width height < <(xwininfo -id "$window" |
        awk '/Absolute upper-left X/ { x = $NF } /Absolute upper-left Y/ { y = $NF }
             /Width:/ { w = $NF } /Height:/ { h = $NF } END { print x, y, w, h }')
    IFS=', ' read -r left _ top _ < <(xprop -id "$window" _NET_FRAME_EXTENTS | sed -n 's/.*= //p')
    echo "$((x - ${left:-0})),$((y - ${top:-0})) ${width}x$height"
}
framed_is() { [[ "$(framed)" == $1 ]]; }  # a pattern
# stands STATE: the window stays framed as STATE for a second.
stands() {
    local since=${EPOCHREALTIME/./}
    while framed_is "$1"; do
        ((${EPOCHREALTIME/./} - since < 1000000)) || return 0
        sleep 0.1
    done
    return 1
}
# moving: the picture changes while nothing but the animation drives it.
moving() { app_drew "$tmp/before.png" && poll 10 not app_shows "$tmp/before.png"; }
# sleeping SECONDS: the program's processor time, all its threads, grows by
# less than 5 % of a core over SECONDS; $cpu says how much it grew.
sleeping() {
    local ticks before
    ticks() { awk '{ print $14 + $15 }' "/proc/$app_pid/stat"; }
    before=$(ticks)
    sleep "$1"
    cpu="$((($(ticks) - before) * 100 / $1 / $(getconf CLK_TCK))) %"
    [ "${cpu% %}" -lt 5 ]
}
keys() { "${PYTHON:-python3}" "$here/keys.py" "$@"; }
# presses_stand COUNT_FILE: the window stands as the presses of f in
# COUNT_FILE, one line each, and $count before them ask for.
presses_stand() {
    got=$(($(wc -l <"$1") - 1)) # the first line says the count began
    due=$full && (((count + got) % 2)) && due="10,30 800x640"
    stands "$due"
}

case $test in
banner_on_a_pipe)
    # Read as soon as a frame shows, without waiting for more.
    start > >(cat >"$tmp/out")
    banner_is "$tmp/out"
    ;;
banner_after_sigkill)
    start >"$tmp/out"
    app_stop
    banner_is "$tmp/out"
    ;;
window_place)
    start >/dev/null
    eval "$(xdotool getwindowgeometry --shell "$(app_window)")"
    [ "$X,$Y ${WIDTH}x$HEIGHT" = "10,10 800x600" ] ||
        fail "the window is ${WIDTH}x$HEIGHT at $X,$Y, not 800x600 at 10,10"
    # Double-buffered, with a depth buffer: its visual as GLX lists it.
    visual=$(xwininfo -id "$(app_window)" | awk '/Visual:/ { print $2 }')
    read -r double depth < <(glxinfo -t | awk -v visual="$visual" '$1 == visual { print $8, $17 }')
    [ "${double:-0}" = 1 ] && [ "${depth:-0}" -gt 0 ] ||
        fail "the window's visual $visual is not double-buffered with a depth buffer"
    ;;
first_frame)
    start >/dev/null
    count=$(differing "$tmp/first.png" "$here/../../docs/fairground.png")
    [ "$count" = 0 ] || fail "$count pixels differ from docs/fairground.png (scripts/pictures.sh makes it anew)"
    ;;
wireframe)
    start >/dev/null
    app_keys W
    expect "W left the surfaces filled" mostly_sky
    app_keys w
    expect "w did not fill them again" app_shows "$tmp/first.png"
    ;;
camera_preset)
    start >/dev/null
    app_keys 4
    expect "4 did not move the camera" not app_shows "$tmp/first.png"
    now
    count=$(differing "$tmp/first.png" "$tmp/now.png")
    [ "$count" -gt 240000 ] || fail "4 changed only $count pixels: the camera did not move"
    app_keys 7
    expect "7 did not bring back the start view" app_shows "$tmp/first.png"
    ;;
lamp_colour)
    # The sky is a fifth of the lamp colour, so a step of 0.05 is 2.55 of
    # the sky's 255.
    start >/dev/null
    app_keys m
    expect "m did not take the sky's red from 51 to 48" corner_is 'srgb(48,51,51)'
    app_keys no
    expect "n and o did not take the sky's green and blue to 48" corner_is 'srgb(48,48,48)'
    app_keys MNO
    expect "M, N and O did not bring back the first frame" app_shows "$tmp/first.png"
    ;;
click_turns_wheel)
    start >/dev/null
    app_click 1
    # Once the lamps are green the sky stays one colour: sky pixels that
    # come and go after that are the wheel turning.
    sky='srgb(0,51,0)'
    expect "the lamps did not turn green" corner_is "$sky"
    sky_mask "$tmp/now.png" "$tmp/still.png"
    expect "the wheel stands still" sky_moved
    ;;
close_request)
    start >/dev/null
    closes_with_status_0
    ;;
stdout_closed)
    # As a launcher may start it: the first frame and a clean close all the same.
    start >&-
    closes_with_status_0
    ;;
stdout_broken_pipe)
    # A pipe whose reader has gone before the banner is written.
    mkfifo "$tmp/pipe"
    exec 4<>"$tmp/pipe" 5>"$tmp/pipe" 4<&-
    start >&5
    exec 5>&-
    closes_with_status_0
    ;;
full_screen_in_bursts | f_on_a_bare_server | two_monitors)
    # Presses of f with no delay between them, as a busy machine may read
    # several in one go: the window ends framed after an odd count, full
    # screen after an even one, and the next press still toggles it. It may
    # pass through other states on the way, so it must stand in the one due
    # for a second. With no window manager nothing puts the window back on
    # leaving full screen, and freeglut's full screen stands where it sees
    # fit. The presses go straight to the window: a window manager may take
    # the keyboard's focus away for a moment as the window changes, and a
    # press from the keyboard then never reaches it.
    start >/dev/null
    window=$(app_window)
    count=0 full="0,0 1280x1024" bursts=(2 3 4 3 2 4 1)
    [ "$test" = f_on_a_bare_server ] && full="*1280x1024" bursts=(1 1 1 1 2 3)
    # Full screen fills the one monitor the window is on, and the window
    # answers at once: a burst that enters and leaves ends framed long
    # before a window that never answered would be left waiting.
    [ "$test" = two_monitors ] && bursts=(1 2 2 1 2 1 2)
    for burst in "${bursts[@]}"; do
        keys send "$window" f "$burst"
        count=$((count + burst))
        due=$full && ((count % 2)) && due="10,30 800x640"
        if [ "$test" = two_monitors ] && ((burst == 2 && count % 2)); then
            since=${EPOCHREALTIME/./}
            until framed_is "$due"; do
                ((${EPOCHREALTIME/./} - since < 1200000)) || fail "f, f (count $count) left the window full screen"
                sleep 0.05
            done
        fi
        poll 20 stands "$due" ||
            fail "$burst presses of f (count $count) left the window at $(framed), not $due"
    done
    [ "$test" = full_screen_in_bursts ] || exit 0
    # A round from the keyboard, judged by the presses the window got.
    "${PYTHON:-python3}" "$here/keys.py" count "$window" f >"$tmp/got" &
    counter=$!
    poll 10 grep -q ready "$tmp/got" || fail "the presses could not be counted"
    app_point
    xdotool key --delay 0 f f f
    poll 20 presses_stand "$tmp/got" || fail "the presses of f from the keyboard left the window at $(framed), not $due"
    # The window manager may take presses away, and a server that holds a key
    # down for a loaded xdotool repeats it.
    ((got == 3)) || echo "note: the window got $got presses of f from the keyboard, not the 3 sent"
    ;;
f_after_move_and_resize)
    # Wherever the user moved the framed window and however they sized it,
    # leaving full screen puts it back at 10,30 with 800x640.
    start >/dev/null
    window=$(app_window)
    f_stands() { keys send "$window" f 1 && poll 20 stands "$1" || fail "f left the window at $(framed), not $1"; }
    for place in "200 150 640 480" "300 200 700 500"; do
        f_stands "10,30 800x640"
        read -r x y width height <<<"$place"
        xdotool windowsize "$window" "$width" "$height" windowmove "$window" "$x" "$y"
        expect "the window did not move" framed_is "$x,$y ${width}x$height"
        f_stands "0,0 1280x1024"
    done
    f_stands "10,30 800x640"
    ;;
right_click_sleeps)
    # At rest the stop animation only brightens the surfaces, which shows at
    # the next redraw; it takes no more steps than a display shows frames.
    start >/dev/null
    app_click 3
    poll 30 sleeping 3 || fail "after a right click, the program used $cpu of a core over 3 s"
    brighter() { app_keys 7 && not app_shows "$tmp/first.png"; }
    poll 30 brighter || fail "the surfaces did not brighten"
    ;;
paused_sleeps | minimised_sleeps)
    # While the go animation is paused, or its window minimised through the
    # window manager, the program sleeps; after p, or restored, the wheel
    # turns again.
    start >/dev/null
    app_click 1
    expect "the wheel does not turn" moving
    window=$(app_window)
    if [ "$test" = paused_sleeps ]; then
        app_keys P
        again() { app_keys p; }
    else
        xdotool windowminimize "$window"
        again() { xdotool windowactivate "$window"; }
    fi
    poll 30 sleeping 2 || fail "${test%_*}, the program used $cpu of a core over 2 s"
    again
    expect "the wheel does not turn again" moving
    ;;
window_identity)
    # What docks and task bars know the window by, read under a window
    # manager: that one reads the class only as the window is mapped.
    start >/dev/null
    window=$(app_window)
    identity=$(xprop -id "$window" WM_CLASS _NET_WM_PID WM_CLIENT_MACHINE)
    expected="WM_CLASS(STRING) = \"fairground\", \"Fairground\"
_NET_WM_PID(CARDINAL) = $app_pid
WM_CLIENT_MACHINE(STRING) = \"$(uname -n)\""
    [ "$identity" = "$expected" ] || fail "the window says $identity"
    # _NET_WM_ICON: width, height and pixels (0xAARRGGBB) for each size.
    xprop -id "$window" -notype 32c _NET_WM_ICON | sed 's/^[^=]*= //' | tr ', ' '\n\n' | awk NF |
        awk -v sizes="$tmp/sizes" -v pixels="$tmp/icon-48" '
            !header { width = $1; header = 1; next }
            header == 1 { print width "x" $1 >sizes; left = width * $1; header = 2; next }
            { if (width == 48) printf "%08x\n", $1 >pixels; if (--left == 0) header = 0 }'
    [ "$(paste -sd ' ' "$tmp/sizes")" = "16x16 32x32 48x48 64x64 128x128" ] ||
        fail "the window's icon sizes are $(paste -sd ' ' "$tmp/sizes")"
    convert "$here/../../packaging/icons/fairground-48.png" -depth 8 RGBA:- | od -An -v -tx1 |
        tr -s ' \n' '\n\n' | awk NF | paste -d '' - - - - | sed 's/\(......\)\(..\)/\2\1/' >"$tmp/installed-48"
    cmp -s "$tmp/icon-48" "$tmp/installed-48" || fail "the window's 48 px icon differs from the installed one"
    ;;
close_by_window_manager)
    start >/dev/null
    closes_with_status_0 --window-manager
    ;;
*) fail "no test $test" ;;
esac
