# Shared steps of the end-to-end tests: start the real program in a folder of its own, find its
# windows, click, type and read back what it shows as a person would (xdotool, screenshots, the
# clipboard). Sourced by each test; expects MORVANE and DIALOG_GEOMETRY in the environment.
# VIEWER_ENV may hold NAME=value settings for the program alone (its locale, for example), and
# VIEWER_ARGS its command-line arguments.

set -u
E2E_FAILURES=0
E2E_PASSES=0
E2E_WORK=$(mktemp -d /tmp/morvane-e2e-XXXXXX)
E2E_SCENE=$(cd "$(dirname "${BASH_SOURCE[0]}")/scene" && pwd)
MORVANE_PID=
MAIN=
DLG=
VIEWER_ENV=()
VIEWER_ARGS=()

cleanup() {
    if [ -n "$MORVANE_PID" ] && kill -0 "$MORVANE_PID" 2>/dev/null; then
        kill "$MORVANE_PID" 2>/dev/null
        wait "$MORVANE_PID" 2>/dev/null
    fi
    chmod -R u+w "$E2E_WORK" 2>/dev/null
    rm -rf "$E2E_WORK"
}
trap cleanup EXIT

# Every outside tool is bounded in time, so a stuck one fails a check instead of hanging the test.
xdo() { timeout 10 xdotool "$@"; }
note() { echo "[$(date +%T)] $*"; }

pass() { E2E_PASSES=$((E2E_PASSES + 1)); note "PASS: $*"; }
fail() { E2E_FAILURES=$((E2E_FAILURES + 1)); note "FAIL: $*"; }
check() {  # check "description" command...
    local what=$1
    shift
    if "$@"; then pass "$what"; else fail "$what"; fi
}
finish() {
    echo "$E2E_PASSES passed, $E2E_FAILURES failed"
    [ "$E2E_FAILURES" = 0 ]
    exit $?
}

# A fresh folder holding glsl/ with the test scene.
new_folder() {
    FOLDER=$(mktemp -d "$E2E_WORK/run-XXXXXX")
    mkdir "$FOLDER/glsl"
    cp "$E2E_SCENE/vertexShader.glsl" "$E2E_SCENE/pixelShader.glsl" "$FOLDER/glsl/"
}

# Starts the program in $FOLDER and waits for both windows; fails the test when they never come.
start_viewer() {
    (cd "$FOLDER" && exec env "${VIEWER_ENV[@]}" "$MORVANE" "${VIEWER_ARGS[@]}" >"$FOLDER/stdout.txt" \
        2>"$FOLDER/stderr.txt") &
    MORVANE_PID=$!
    wait_for_windows "$FOLDER/stderr.txt"
}

# Waits for the viewer started as $MORVANE_PID to show both windows and sets MAIN, DLG and the
# dialog's scale; ends the test, naming the viewer's standard error (the file given), when they
# never come.
wait_for_windows() {
    MAIN=
    DLG=
    for _ in $(seq 300); do
        MAIN=$(xdo search --onlyvisible --name '^Morvane - ' 2>/dev/null | head -n 1)
        DLG=$(xdo search --onlyvisible --name '^Settings$' 2>/dev/null | head -n 1)
        [ -n "$MAIN" ] && [ -n "$DLG" ] && break
        kill -0 "$MORVANE_PID" 2>/dev/null || break
        sleep 0.1
    done
    if [ -z "$MAIN" ] || [ -z "$DLG" ]; then
        fail "the program showed its two windows (stderr: $(cat "$1"))"
        finish
    fi
    # Wait until the same main window has been found a few times in a row, so that the tests
    # work with the window the program settled on.
    local stable=0 found
    for _ in $(seq 100); do
        sleep 0.2
        found=$(xdo search --onlyvisible --name '^Morvane - ' 2>/dev/null | tail -n 1)
        if [ -n "$found" ] && [ "$found" = "$MAIN" ]; then
            stable=$((stable + 1))
            [ $stable -ge 5 ] && break
        else
            MAIN=$found
            stable=0
        fi
    done
    read -r _ SCALE_X SCALE_Y < <(timeout 30 env "${VIEWER_ENV[@]}" "$DIALOG_GEOMETRY")
    note "windows up: main $MAIN, dialog $DLG, dialog scale $SCALE_X x $SCALE_Y"
    settle
}

# Lets the loop handle what was sent and draw a few frames.
settle() { sleep "${1:-1.5}"; }

shot() { timeout 20 import -window "$MAIN" "$E2E_WORK/$1.png" 2>/dev/null || note "no screenshot $1"; }

# Number of pixels that differ between two screenshots.
difference() { timeout 20 compare -metric AE "$E2E_WORK/$1.png" "$E2E_WORK/$2.png" null: 2>&1 | cut -d' ' -f1; }
same_picture() { [ "$(difference "$1" "$2")" = 0 ]; }
different_picture() { [ "$(difference "$1" "$2")" -gt 1000 ]; }

# Moves the pointer to a point of a control given in the template's dialog units.
point_in_dialog() {  # x y (dialog units)
    local px py
    px=$(awk -v u="$1" -v s="$SCALE_X" 'BEGIN { printf "%d", u * s }')
    py=$(awk -v u="$2" -v s="$SCALE_Y" 'BEGIN { printf "%d", u * s }')
    xdo mousemove --window "$DLG" "$px" "$py"
}

click_in_dialog() {  # x y (dialog units)
    xdo windowactivate --sync "$DLG" 2>/dev/null
    point_in_dialog "$1" "$2"
    xdo click 1
}

click_reload() { click_in_dialog 343 264; }
click_save() { click_in_dialog 308 265; }
click_reset_camera() { click_in_dialog 32 264; }

# Puts the text cursor at the very start of the source box.
focus_source_start() {
    click_in_dialog 180 120
    xdo key --clearmodifiers ctrl+Home
}

# Types the text as a person would; each line end is a press of Return (xdotool's own typing of a
# line feed puts nothing into a GTK text view).
type_text() {
    local rest=$1 line
    while :; do
        line=${rest%%$'\n'*}
        [ -z "$line" ] || timeout 60 xdotool type --delay 40 --clearmodifiers "$line"
        [ "$line" = "$rest" ] && break
        xdo key --clearmodifiers Return
        rest=${rest#*$'\n'}
    done
}

read_box() {  # x y of a point inside the box, in dialog units
    printf '' | timeout 5 xclip -selection clipboard >/dev/null 2>&1
    click_in_dialog "$1" "$2"
    xdo key --clearmodifiers ctrl+a
    xdo key --clearmodifiers ctrl+c
    sleep 0.3
    timeout 5 xclip -o -selection clipboard 2>/dev/null
}
read_log() { read_box 180 310; }
read_source() { read_box 180 120; }

# Drags with the left button from one point of the main window's client area to another.
drag_main() {  # x0 y0 x1 y1
    xdo windowactivate --sync "$MAIN" 2>/dev/null
    xdo mousemove --window "$MAIN" "$1" "$2" mousedown 1
    local i
    for i in 1 2 3 4 5 6 7 8; do
        xdo mousemove --window "$MAIN" $(($1 + ($3 - $1) * i / 8)) $(($2 + ($4 - $2) * i / 8))
        sleep 0.05
    done
    xdo mouseup 1
}

wheel_main() {  # button: 4 zooms in, 5 zooms out
    xdo mousemove --window "$MAIN" 400 300 click "$1"
}

# Asks the window manager to close the main window, as its close button does.
close_main() {
    xdo windowactivate --sync "$MAIN" 2>/dev/null
    xdo key --clearmodifiers alt+F4
}

# Waits for the program to end and sets EXIT_STATUS; 124 when it did not end in time.
wait_exit() {
    EXIT_STATUS=124
    for _ in $(seq 100); do
        if ! kill -0 "$MORVANE_PID" 2>/dev/null; then
            wait "$MORVANE_PID"
            EXIT_STATUS=$?
            MORVANE_PID=
            return
        fi
        sleep 0.1
    done
}

running() { kill -0 "$MORVANE_PID" 2>/dev/null; }

# Whether the file has several lines and every one of them ends in CR LF.
crlf_lines() {
    local lines
    lines=$(wc -l <"$1")
    [ "$lines" -gt 1 ] && [ "$(grep -c $'\r$' "$1")" = "$lines" ]
}

# --- Where the windows are ---------------------------------------------------------------------

# The screen's size: "width height".
root_size() { timeout 10 xwininfo -root | awk '/^ +Width:/ { w = $2 } /^ +Height:/ { h = $2 } END { print w, h }'; }

# The part of the screen the window manager leaves to windows (without panels): "x y width height".
work_area() {
    timeout 10 xprop -root _NET_WORKAREA | awk -F '= ' '{ split($2, v, ", "); print v[1], v[2], v[3], v[4] }'
}

# A window's client area on the screen: "x y width height".
client_rect() {
    timeout 10 xwininfo -id "$1" | awk '/Absolute upper-left X:/ { x = $4 } /Absolute upper-left Y:/ { y = $4 }
        /^ +Width:/ { w = $2 } /^ +Height:/ { h = $2 } END { print x, y, w, h }'
}

# A window's outer rectangle with the window manager's frame: "x y width height".
frame_rect() {
    local x y w h left=0 right=0 top=0 bottom=0 extents
    read -r x y w h < <(client_rect "$1")
    extents=$(timeout 10 xprop -id "$1" _NET_FRAME_EXTENTS 2>/dev/null | sed -n 's/.*= //p' | tr -d ',')
    [ -n "$extents" ] && read -r left right top bottom <<<"$extents"
    echo $((x - left)) $((y - top)) $((w + left + right)) $((h + top + bottom))
}

# Whether the rectangle "x y w h" lies inside the rectangle "X Y W H".
inside() {  # x y w h X Y W H
    [ "$1" -ge "$5" ] && [ "$2" -ge "$6" ] && [ $(($1 + $3)) -le $(($5 + $7)) ] && [ $(($2 + $4)) -le $(($6 + $8)) ]
}

# A control's rectangle on the screen from its place in the template (dialog units), given the
# dialog's client rectangle: "x y width height".
control_rect() {  # x y width height (dialog units), then the client rectangle
    awk -v x="$1" -v y="$2" -v w="$3" -v h="$4" -v cx="$5" -v cy="$6" -v sx="$SCALE_X" -v sy="$SCALE_Y" \
        'BEGIN { printf "%d %d %d %d\n", cx + int(x * sx), cy + int(y * sy), int(w * sx), int(h * sy) }'
}

# The text of a window's caption (_NET_WM_NAME) and its WM_CLASS.
caption() { timeout 10 xprop -id "$1" _NET_WM_NAME | sed -n 's/^_NET_WM_NAME(UTF8_STRING) = "\(.*\)"$/\1/p'; }
window_class() { timeout 10 xprop -id "$1" WM_CLASS | sed -n 's/^WM_CLASS(STRING) = //p'; }

