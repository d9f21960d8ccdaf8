#!/usr/bin/env bash
# A second Xvfb with a real window manager on it (metacity, of GNOME's
# family), for the tests of how the window fares under one.
#   window_manager.sh start|stop DIR
set -euo pipefail
source "$(dirname "$0")/../../scripts/xdrive.sh"
managing() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }

case $1 in
start)
    xvfb_start "$2"
    # No session bus here: settings come from memory.
    GSETTINGS_BACKEND=memory setsid metacity --replace </dev/null >"$2/metacity.log" 2>&1 &
    # A window mapped before the manager runs would never be managed.
    poll 30 managing || { cat "$2/metacity.log" >&2; exit 1; }
    ;;
stop) xvfb_stop "$2" ;; # the manager ends with its server
esac
