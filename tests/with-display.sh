#!/usr/bin/env bash
# Runs a command on an X display: the one in DISPLAY, or a private Xvfb started for it (with the
# openbox window manager when --wm is given). The Xvfb and window manager end with the command.
set -u
wm=0
if [ "${1:-}" = "--wm" ]; then wm=1; shift; fi

if [ -n "${DISPLAY:-}" ] && [ "${MORVANE_OWN_DISPLAY:-0}" != 1 ]; then
    exec "$@"
fi

fifo=$(mktemp -u)
mkfifo "$fifo"
Xvfb -displayfd 3 -screen 0 2560x1440x24 -nolisten tcp +extension GLX 3>"$fifo" >/dev/null 2>&1 &
xvfb=$!
read -r number <"$fifo"
rm -f "$fifo"
export DISPLAY=":$number"
wmpid=
if [ "$wm" = 1 ]; then
    openbox >/dev/null 2>&1 &
    wmpid=$!
    for _ in $(seq 50); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
        sleep 0.1
    done
fi
"$@"
status=$?
[ -n "$wmpid" ] && kill "$wmpid" 2>/dev/null
kill "$xvfb" 2>/dev/null
wait 2>/dev/null
exit $status
