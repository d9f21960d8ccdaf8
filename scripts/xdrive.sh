#!/usr/bin/env bash
# Runs a program on a virtual X server (Xvfb), takes pictures of its window
# and drives it with keys and clicks. Source this file for the functions
# below, or run it as
#   xdrive.sh xvfb_start DIR     start a server that outlives the call
#   xdrive.sh xvfb_stop DIR      stop it again
#   xdrive.sh with_xvfb COMMAND  run a command on a server of its own
# Servers and pictures need only Xvfb and ImageMagick; keys and clicks need
# xdotool. Without a window manager the window stands where the program puts
# it and the keyboard follows the pointer.

# poll SECONDS COMMAND...: runs COMMAND until it succeeds, for at most
# SECONDS; gives up early once the program app_start started has ended.
poll() {
    local deadline=$((SECONDS + $1))
    shift
    until "$@"; do
        ((SECONDS < deadline)) && { [ -z "${app_pid:-}" ] || alive "$app_pid"; } || return 1
        sleep 0.1
    done
}

# alive PID: the process runs (a zombie waiting for its parent has ended).
alive() {
    local stat
    stat=$(cat "/proc/$1/stat" 2>/dev/null) && [[ $stat != *") Z "* ]]
}
not() { ! "$@"; }

# xvfb_start DIR: starts Xvfb on a free display in a session of its own (so
# it outlives a caller that only starts it), notes its display and process in
# DIR and exports DISPLAY. Its screen is XVFB_SCREEN, 1280x1024x24 unless set.
xvfb_start() {
    server_start "$1" Xvfb -screen 0 "${XVFB_SCREEN:-1280x1024x24}"
}

# server_start DIR SERVER ARGUMENTS...: as xvfb_start, for any X server
# (Xvfb or Xephyr) with these arguments.
server_start() {
    mkdir -p "$1"
    xvfb_stop "$1"
    # -displayfd writes the display number once the server takes connections.
    setsid "${@:2}" -displayfd 3 -nolisten tcp -noreset 3>"$1/display" </dev/null >"$1/xvfb.log" 2>&1 &
    echo $! >"$1/pid"
    if ! poll 30 grep -qs . "$1/display"; then
        echo "xdrive: $2 did not start:" >&2
        cat "$1/xvfb.log" >&2
        xvfb_stop "$1"
        return 1
    fi
    export DISPLAY=:$(cat "$1/display")
}

# xvfb_stop DIR: stops the server that server_start noted in DIR, if it runs.
xvfb_stop() {
    local pid
    pid=$(cat "$1/pid" 2>/dev/null) || return 0
    # The number may belong to another process by now.
    if [[ "$(cat "/proc/$pid/comm" 2>/dev/null)" == @(Xvfb|Xephyr) ]]; then
        kill "$pid"
        poll 5 not alive "$pid" || kill -KILL "$pid"
    fi
    rm -f "$1/pid" "$1/display"
}

# with_xvfb COMMAND...: runs COMMAND on a server of its own, stopped after.
with_xvfb() {
    local dir status=0
    dir=$(mktemp -d)
    xvfb_start "$dir" || return 1
    "$@" || status=$?
    xvfb_stop "$dir"
    rm -rf "$dir"
    return "$status"
}

# app_start TITLE COMMAND...: starts COMMAND in the background in a process
# group of its own, with the caller's redirections. TITLE is its window's
# name (GLUT programs take their first argument as it).
app_start() {
    app_title=$1
    shift
    # Xvfb has no GPU: Mesa's software renderer draws.
    LIBGL_ALWAYS_SOFTWARE=1 setsid "$@" &
    app_pid=$!
    app_dir=$(mktemp -d)
}

# app_stop: ends the program and everything it started.
app_stop() {
    [ -n "${app_pid:-}" ] || return 0
    kill -KILL -- "-$app_pid" 2>/dev/null || true
    wait "$app_pid" 2>/dev/null || true
    rm -rf "$app_dir"
    app_pid=
}

# app_shot FILE: saves a picture of the window in FILE.
app_shot() {
    # Where no window has the name, import waits for a click on the window it
    # should take instead, so where xdotool is there, it first looks for the
    # window; the timeout ends any such wait. A picture takes a third of a
    # second of processor time, and several seconds on a loaded machine.
    if command -v xdotool >/dev/null; then [ -n "$(app_window)" ] || return 1; fi
    timeout 5 import -silent -window "$app_title" "$1" 2>/dev/null
}

# app_first_frame FILE: waits for the first frame (the window is of one
# colour before it) and saves it in FILE.
app_first_frame() {
    poll 30 app_drew "$1" && return
    if alive "$app_pid"; then
        echo "xdrive: no frame within 30 s" >&2
    else
        echo "xdrive: the program ended before its first frame" >&2
    fi
    return 1
}
app_drew() { app_shot "$1" && [ "$(identify -format %k "$1")" -gt 1 ]; }

# app_shows FILE: the window now shows the picture in FILE, pixel for pixel.
app_shows() {
    app_shot "$app_dir/now.png" && compare -metric AE "$1" "$app_dir/now.png" null: 2>/dev/null
}

# app_window: the window's X id.
app_window() {
    local pattern
    pattern=$(sed 's/[][\.*^$+?(){}|]/\\&/g' <<<"$app_title")
    xdotool search --onlyvisible --name "^$pattern\$" | head -n 1
}

# app_keys TEXT, app_key KEYSYM, app_click BUTTON: type TEXT (capitals with
# Shift), press one key by its X name (e.g. Escape), click a mouse button
# (1 left, 3 right), all with the pointer in the window.
app_keys() { app_point && xdotool type --delay 20 -- "$1"; }
app_key() { app_point && xdotool key -- "$1"; }
app_click() { app_point && xdotool click "$1"; }
app_point() { xdotool mousemove --window "$(app_window)" 400 300; }

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
    set -euo pipefail
    "$@"
fi
