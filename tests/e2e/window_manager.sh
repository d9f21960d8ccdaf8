#!/usr/bin/env bash
# A second Xvfb with a real window manager on it (metacity, of GNOME's
# family), for the tests of how the window fares under one; with
# --two-monitors, a Xephyr of two 1280x1024 monitors side by side instead,
# shown on an Xvfb of its own.
#   window_manager.sh start|stop DIR [--two-monitors]
set -euo pipefail
source "$(dirname "$0")/../../scripts/xdrive.sh"
managing() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }

case $1 in
start)
    if [ "${3:-}" = --two-monitors ]; then
        XVFB_SCREEN=2560x1024x24 xvfb_start "$2/host"
        server_start "$2" Xephyr +xinerama -screen 1280x1024 -screen 1280x1024
    else
        xvfb_start "$2"
    fi
    # No session bus here: settings come from memory.
    GSETTINGS_BACKEND=memory setsid metacity --replace </dev/null >"$2/metacity.log" 2>&1 &
    # A window mapped before the manager runs would never be managed.
    poll 30 managing || { cat "$2/metacity.log" >&2; exit 1; }
    ;;
stop) # the manager ends with its server
    xvfb_stop "$2"
    xvfb_stop "$2/host"
    ;;
esac
