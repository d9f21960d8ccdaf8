#!/bin/sh
# The end-to-end tests' own X server.
#
#   xvfb.sh start DIR   start Xvfb on a free display; write DIR/display and DIR/pid
#   xvfb.sh stop DIR    stop the server recorded in DIR
#
# The server is detached from the caller (own session, no inherited pipes), so
# that CTest does not wait for it when the start test ends.
set -eu

action=${1:?usage: xvfb.sh start|stop DIR}
dir=${2:?usage: xvfb.sh start|stop DIR}
pidfile=$dir/pid
displayfile=$dir/display
startup_limit=300 # tenths of a second

# The kernel's start time of a process, so that a recycled pid is never
# taken for our server.
start_time() {
    sed 's/.*) //' "/proc/$1/stat" 2>/dev/null | cut -d' ' -f20
}

stop_server() {
    if [ -f "$pidfile" ]; then
        read -r pid started <"$pidfile" || true
        if [ -n "${pid:-}" ] && [ "$(start_time "$pid")" = "${started:-}" ]; then
            kill "$pid" 2>/dev/null || true
            tries=0
            while kill -0 "$pid" 2>/dev/null && [ "$tries" -lt 50 ]; do
                sleep 0.1
                tries=$((tries + 1))
            done
            kill -9 "$pid" 2>/dev/null || true
        fi
    fi
    rm -f "$pidfile" "$displayfile" "$dir/displayfd"
}

fail() {
    echo "xvfb.sh: $*" >&2
    [ -f "$dir/xvfb.log" ] && sed 's/^/xvfb.log: /' "$dir/xvfb.log" >&2
    stop_server
    exit 1
}

case $action in
stop)
    stop_server
    ;;
start)
    mkdir -p "$dir"
    # A server left behind by an aborted run.
    stop_server
    # -displayfd picks a free display, so runs from other build trees do not
    # collide; -noreset keeps the server as it is between test programs.
    setsid Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset \
        3>"$dir/displayfd" </dev/null >"$dir/xvfb.log" 2>&1 &
    pid=$!
    echo "$pid $(start_time "$pid")" >"$pidfile"

    tries=0
    display=
    until [ -n "$display" ] && DISPLAY=$display xdpyinfo >/dev/null 2>&1; do
        kill -0 "$pid" 2>/dev/null || fail "Xvfb exited during start-up"
        [ "$tries" -lt "$startup_limit" ] || fail "Xvfb did not answer within $((startup_limit / 10)) s"
        sleep 0.1
        tries=$((tries + 1))
        number=$(cat "$dir/displayfd" 2>/dev/null || true)
        [ -n "$number" ] && display=:$number
    done
    DISPLAY=$display xdpyinfo -queryExtensions | grep -q GLX || fail "the server on $display has no GLX"
    echo "$display" >"$displayfile.new"
    mv "$displayfile.new" "$displayfile"
    echo "Xvfb $display, pid $pid"
    ;;
*)
    echo "usage: xvfb.sh start|stop DIR" >&2
    exit 2
    ;;
esac
