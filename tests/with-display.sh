#!/usr/bin/env bash
# Runs a command on a private Xvfb display started for it, with the openbox window manager when
# --wm is given. The command never runs on the caller's own display: the tests need a known
# screen, with or without a manager, and must not put windows on someone's desktop.
# The Xvfb and the window manager end with the command.
set -u
wm=0
if [ "${1:-}" = "--wm" ]; then wm=1; shift; fi

work=$(mktemp -d)
xvfb=
wmpid=
stop() {
    [ -n "$wmpid" ] && kill "$wmpid" 2>/dev/null
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$work"
}
trap stop EXIT

# The X server writes its display number to descriptor 3 once it accepts clients.
Xvfb -displayfd 3 -screen 0 2560x1440x24 -nolisten tcp +extension GLX \
    3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb=$!
deadline=$((SECONDS + 60))
until grep -q '^[0-9]' "$work/display" 2>/dev/null; do
    if ! kill -0 "$xvfb" 2>/dev/null || [ $SECONDS -ge $deadline ]; then
        echo "with-display.sh: Xvfb did not start. Its output:" >&2
        cat "$work/xvfb.log" >&2
        exit 1
    fi
    sleep 0.1
done
export DISPLAY=":$(head -n 1 "$work/display")"

# The manager is ready once it has announced itself and the hints it supports on the root
# window; a busy machine can take many seconds to get there.
manager_ready() {
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' &&
        xprop -root _NET_SUPPORTED 2>/dev/null | grep -q '_NET_FRAME_EXTENTS'
}

# Starts openbox and waits until it is ready; false when it ended or never got ready.
start_manager() {
    # A manager that died leaves its announcement behind; only the new one's counts.
    xprop -root -remove _NET_SUPPORTING_WM_CHECK 2>/dev/null
    openbox --sm-disable >"$work/openbox.log" 2>&1 &
    wmpid=$!
    local deadline=$((SECONDS + 30))
    until manager_ready; do
        if ! kill -0 "$wmpid" 2>/dev/null || [ $SECONDS -ge $deadline ]; then
            kill "$wmpid" 2>/dev/null
            wait "$wmpid" 2>/dev/null
            wmpid=
            return 1
        fi
        sleep 0.1
    done
}

if [ "$wm" = 1 ]; then
    # A manager that fails while starting is started again, twice at most.
    attempt=1
    until start_manager; do
        echo "with-display.sh: the openbox window manager did not start (attempt $attempt). Its output:" >&2
        cat "$work/openbox.log" >&2
        if [ $attempt -ge 3 ]; then
            exit 1
        fi
        attempt=$((attempt + 1))
    done
fi

"$@"
status=$?
if [ -n "$wmpid" ] && ! kill -0 "$wmpid" 2>/dev/null; then
    echo "with-display.sh: the openbox window manager ended while the command ran. Its output:" >&2
    cat "$work/openbox.log" >&2
fi
exit $status
