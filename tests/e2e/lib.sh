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

# --- Marks in the source box's gutter -----------------------------------------------------------

# The source box's rectangle in the dialog's client area, in pixels: "x y width height".
source_box() { control_rect 7 7 354 245 0 0; }

# Reads the marks of the source box's top half from a screenshot of the dialog, as
# "tint_top tint_bottom tint_left sign_top sign_bottom sign_left sign_right" in pixels of the
# box (-1 for what is not there): the tint is the first band of rows that are mostly light red,
# the sign the strong red left of the band, or left of `gutter` (the text's left edge as an
# earlier reading found it) when there is no band (syntax colours have reds too).
read_marks() {  # screenshot name [gutter]
    local x y w h
    read -r x y w h < <(source_box)
    timeout 20 convert "$E2E_WORK/$1.png" -crop "${w}x$((h / 2))+$x+$y" +repage txt:- |
        awk -F'[:(), ]+' -v w="$w" -v gutter="${2:--1}" '
        NR > 1 {
            px = $1; py = $2; r = $3; g = $4; b = $5
            if (r > 170 && g < 90 && b < 90) { red++; rx[red] = px; ry[red] = py }
            else if (r > 235 && g >= 160 && g <= 230 && b >= 160 && b <= 230 && r - g >= 20) {
                tint[py]++
                if (!(py in left) || px < left[py]) left[py] = px
            }
        }
        END {
            top = -1; bottom = -1; tl = -1
            for (py = 0; py < 10000; py++) {
                if (tint[py] >= w / 4) {
                    if (top < 0) { top = py; tl = left[py] }
                    bottom = py
                    if (left[py] < tl) tl = left[py]
                } else if (top >= 0) break
            }
            st = -1; sb = -1; sl = -1; sr = -1
            limit = tl >= 0 ? tl : gutter
            for (i = 1; i <= red; i++) {
                if (limit >= 0 && rx[i] >= limit) continue
                if (st < 0 || ry[i] < st) st = ry[i]
                if (ry[i] > sb) sb = ry[i]
                if (sl < 0 || rx[i] < sl) sl = rx[i]
                if (rx[i] > sr) sr = rx[i]
            }
            print top, bottom, tl, st, sb, sl, sr
        }'
}

dialog_shot() { timeout 20 import -window "$DLG" "$E2E_WORK/$1.png" 2>/dev/null || note "no screenshot $1"; }

# Whether a mark stands at the given line (1 at the top of the box, which shows its first line):
# a sign and a tint band one line high, the sign level with the band, the band the line's.
mark_at_line() {  # line, then read_marks's seven numbers
    local line=$1 top=$2 bottom=$3 st=$5 sb=$6
    local height=$((bottom - top + 1))
    [ "$top" -ge 0 ] && [ "$st" -ge 0 ] && [ "$height" -ge 8 ] &&
        [ "$st" -ge "$top" ] && [ "$sb" -le "$bottom" ] &&
        [ "$top" -ge $(((line - 1) * height)) ] && [ "$top" -le $(((line - 1) * height + 6)) ]
}
no_marks() { [ "$1" = -1 ] && [ "$4" = -1 ]; }

# --- Reading the picture -----------------------------------------------------------------------

# The colour of one pixel of a screenshot: "red green blue", 0 to 255 each.
pixel_at() {  # screenshot name, x y in its pixels
    timeout 20 convert "$E2E_WORK/$1.png" -crop "1x1+$2+$3" +repage -depth 8 txt:- |
        sed -n '2s/^[^(]*(\([0-9.]*\),\([0-9.]*\),\([0-9.]*\).*/\1 \2 \3/p' | awk '{ printf "%d %d %d\n", $1, $2, $3 }'
}

# A screenshot's height in pixels.
picture_height() { timeout 20 identify -format '%h' "$E2E_WORK/$1.png"; }
