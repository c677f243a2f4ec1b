#!/usr/bin/env bash
# Runs a command on a private Xvfb display started for it, optionally with a window manager.
# The command never runs on the caller's own display: the tests need a known screen, with or
# without a manager, and must not put windows on someone's desktop.
# The Xvfb and the window manager end with the command.
#
# Usage: with-display.sh [--wm [NAME]] [--screen WIDTHxHEIGHT] command...
#   --wm NAME      openbox (also plain --wm), xfwm4, metacity or icewm
#   --screen WxH   the screen's size in pixels (default 2560x1440)
set -u
wm=
screen=2560x1440
while [ $# -gt 0 ]; do
    case $1 in
    --wm)
        shift
        case ${1:-} in
        openbox | xfwm4 | metacity | icewm) wm=$1; shift ;;
        *) wm=openbox ;;
        esac
        ;;
    --screen)
        if ! [[ ${2:-} =~ ^[0-9]+x[0-9]+$ ]]; then
            echo "with-display.sh: --screen takes WIDTHxHEIGHT, e.g. 1920x1080" >&2
            exit 2
        fi
        screen=$2
        shift 2
        ;;
    *) break ;;
    esac
done
if [ $# -eq 0 ]; then
    echo "usage: with-display.sh [--wm [openbox|xfwm4|metacity|icewm]] [--screen WxH] command..." >&2
    exit 2
fi
if [ -n "$wm" ] && ! command -v "$wm" >/dev/null; then
    echo "with-display.sh: the $wm window manager is not installed (scripts/install-deps.sh installs it)" >&2
    exit 1
fi

work=$(mktemp -d)
xvfb=
wmpid=
buspid=
stop() {
    [ -n "$wmpid" ] && kill "$wmpid" 2>/dev/null
    [ -n "$buspid" ] && kill "$buspid" 2>/dev/null
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$work"
}
trap stop EXIT

# The X server writes its display number to descriptor 3 once it accepts clients. -noreset: an
# X server resets whenever its last client leaves and refuses connections while it does, which
# fails whichever client connects at that moment.
Xvfb -displayfd 3 -screen 0 "${screen}x24" -nolisten tcp -noreset +extension GLX \
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

# xfwm4 reads its settings through xfconf, which needs a D-Bus session bus: it gets a private
# one, with its settings kept in the work folder, that ends with the display.
start_bus() {
    [ -n "$buspid" ] && return 0
    mkdir -p "$work/config"
    XDG_CONFIG_HOME="$work/config" dbus-daemon --session --nofork --nopidfile \
        --address="unix:path=$work/bus" >"$work/bus.log" 2>&1 &
    buspid=$!
    local deadline=$((SECONDS + 30))
    until [ -S "$work/bus" ]; do
        if ! kill -0 "$buspid" 2>/dev/null || [ $SECONDS -ge $deadline ]; then
            echo "with-display.sh: the D-Bus session bus for xfwm4 did not start. Its output:" >&2
            cat "$work/bus.log" >&2
            buspid=
            return 1
        fi
        sleep 0.1
    done
}

# The manager is ready once it has announced itself and the hints it supports on the root
# window; a busy machine can take many seconds to get there. Every supported manager lists
# _NET_FRAME_EXTENTS, which the layer waits for when it computes outer rectangles.
manager_ready() {
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' &&
        xprop -root _NET_SUPPORTED 2>/dev/null | grep -q '_NET_FRAME_EXTENTS'
}

# Starts the manager and waits until it is ready; false when it ended or never got ready.
start_manager() {
    # A manager that died leaves its announcement behind; only the new one's counts.
    xprop -root -remove _NET_SUPPORTING_WM_CHECK 2>/dev/null
    case $wm in
    openbox) openbox --sm-disable >"$work/wm.log" 2>&1 & ;;
    metacity) metacity --sm-disable >"$work/wm.log" 2>&1 & ;;
    # Plain icewm: the manager and its task bar, without the session's extra programs; its own
    # preferences folder keeps the user's out.
    icewm) ICEWM_PRIVCFG="$work/icewm" icewm >"$work/wm.log" 2>&1 & ;;
    xfwm4)
        start_bus || return 1
        DBUS_SESSION_BUS_ADDRESS="unix:path=$work/bus" NO_AT_BRIDGE=1 \
            xfwm4 --compositor=off --sm-client-disable >"$work/wm.log" 2>&1 &
        ;;
    esac
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

if [ -n "$wm" ]; then
    # A manager that fails while starting is started again, twice at most.
    attempt=1
    until start_manager; do
        echo "with-display.sh: the $wm window manager did not start (attempt $attempt). Its output:" >&2
        cat "$work/wm.log" >&2
        if [ $attempt -ge 3 ]; then
            exit 1
        fi
        attempt=$((attempt + 1))
    done
fi

"$@"
status=$?
if [ -n "$wmpid" ] && ! kill -0 "$wmpid" 2>/dev/null; then
    echo "with-display.sh: the $wm window manager ended while the command ran. Its output:" >&2
    cat "$work/wm.log" >&2
fi
exit $status
