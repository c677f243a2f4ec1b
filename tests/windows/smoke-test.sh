#!/usr/bin/env bash
# End-to-end smoke test of the Windows program under Wine, on private displays with a window
# manager (openbox) started by tests/with-display.sh, as a user would run it:
#
#   tests/windows/smoke-test.sh MORVANE_EXE [SCREENSHOT_DIR]
#
# On a 1920 x 1080 screen:
# - started in a folder without shader files, and in one whose pixel shader does not compile, it
#   shows the failure in a message box and exits with status 1 once the box is closed;
# - started in a folder with the shader files of tests/windows/scene, it draws the picture, the
#   "Settings" dialog stands beside the main window with the pixel shader's text, a left-button
#   drag orbits the camera, "Reset Camera" brings the first picture back, typing a valid change
#   into the source box recompiles it (the picture changes), a syntax error keeps the picture, a
#   file saved by another program under unsaved edits is noticed in the log while the editor keeps
#   its text, F1 shows the frame time in the caption and hides it, F11 makes the main window and
#   its picture cover the screen and Escape gives the window back its place, and closing the main
#   window ends the process with status 0.
# On a 1366 x 768 screen, started again: both windows open, the dialog lies wholly on the screen,
# and closing the main window once the picture is drawn ends the process with status 0.
#
# Each screen is one run of this script under with-display.sh (the --on-display form below); both
# share one Wine prefix. Prints one PASS or FAIL line per check, then "N passed, N failed", and
# exits non-zero when any failed. The pictures are read from screenshots, the dialog's texts
# through the clipboard, and a message box's text from Wine's own trace of message boxes.
set -uo pipefail

here=$(cd "$(dirname "$0")" && pwd)
script="$here/$(basename "$0")"

export WINEDEBUG=-all,trace+msgbox
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64

if [ "${1:-}" != --on-display ]; then
    if [ $# -lt 1 ] || [ ! -f "$1" ]; then
        echo "usage: $0 MORVANE_EXE [SCREENSHOT_DIR]" >&2
        exit 2
    fi
    exe=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
    work=$(mktemp -d "${TMPDIR:-/tmp}/morvane-wine-XXXXXX")
    trap 'rm -rf "$work"' EXIT
    shots=${2:-$work/shots}
    mkdir -p "$shots"
    shots=$(cd "$shots" && pwd)
    export WINEPREFIX="$work/prefix"

    passes=0
    failures=0
    # Runs the checks of one screen on a display of that size; a display that did not start, or a
    # run that failed without saying which check, counts as one failure.
    on_display() {
        local phase=$1 screen=$2 log="$work/$1.log" status
        echo "Starting a $screen display with openbox"
        "$here/../with-display.sh" --wm openbox --screen "$screen" \
            "$script" --on-display "$phase" "$exe" "$shots" "$work" 2>&1 | tee "$log"
        status=${PIPESTATUS[0]}
        passes=$((passes + $(grep -c '^PASS ' "$log")))
        failures=$((failures + $(grep -c '^FAIL ' "$log")))
        if [ "$status" != 0 ] && ! grep -q '^FAIL ' "$log"; then
            echo "FAIL the checks on the $screen display: they ended with status $status"
            failures=$((failures + 1))
        fi
    }
    on_display scene 1920x1080
    on_display small-screen 1366x768
    echo "$passes passed, $failures failed"
    [ "$failures" = 0 ]
    exit
fi

# --- One screen's checks, on the display with-display.sh started ------------------------------------
#   smoke-test.sh --on-display scene|small-screen MORVANE_EXE SCREENSHOT_DIR WORK_DIR

phase=$2
exe=$3
shots=$4
work=$5
export WINEPREFIX="$work/prefix"

# Every wait is bounded, and long enough for a slow machine: a check fails on what it sees, not
# on how long it took.
readonly WAIT_SECONDS=120

failures=0
pass() {
    echo "PASS $1"
}
fail() {
    echo "FAIL $1: $2"
    failures=$((failures + 1))
}

# Wine's processes (the program, and the desktop process of the prefix) end before the display.
app_pid=
cleanup() {
    if [ -n "$app_pid" ] && kill -0 "$app_pid" 2>/dev/null; then
        kill "$app_pid" 2>/dev/null
    fi
    if [ -d "$WINEPREFIX" ]; then
        wineserver -k >/dev/null 2>&1
    fi
    wait 2>/dev/null
}
trap cleanup EXIT

# Polls `condition` (a command) until it succeeds or WAIT_SECONDS have passed.
wait_until() {
    local deadline=$((SECONDS + WAIT_SECONDS))
    until "$@"; do
        if [ $SECONDS -ge $deadline ]; then
            return 1
        fi
        sleep 0.5
    done
}

# --- Windows, screenshots and pixels ------------------------------------------------------------------

# The visible top-level X window whose title matches the extended regular expression.
find_window() {
    xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1
}

# Sets GEOMETRY to "x y width height" of an X window: under Wine, a top-level window's X window is
# the Windows window without the frame that the window manager draws.
read_geometry() {
    local info
    info=$(xwininfo -id "$1" 2>/dev/null) || return 1
    GEOMETRY="$(awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4}
                     /^ *Width:/ {w=$2} /^ *Height:/ {h=$2} END {print x, y, w, h}' <<<"$info")"
}

# Sets GEOMETRY to "x y width height" of the main window's picture: the child X window that Wine
# gives the OpenGL surface, which is the Windows client area. The window's own X window is larger:
# it also holds the border that Windows draws around the client area (WS_EX_CLIENTEDGE), which is
# no part of the picture and is painted at its own time.
read_picture_geometry() {
    local child
    child=$(xwininfo -children -id "$1" 2>/dev/null | awk '/^ +[0-9]+ child/ {found = 1; next} found && /0x[0-9a-f]+/ {print $1; exit}')
    [ -n "$child" ] || return 1
    read_geometry "$child"
}

# Succeeds when the window is the window manager's active window and holds the keyboard focus.
has_focus() {
    [ "$(xdotool getactivewindow 2>/dev/null)" = "$1" ] && [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ]
}

# Asks the window manager to activate the window, again and again, until it is active and holds the
# keyboard focus, and still does a second later. Under Wine the program takes the focus itself when
# the window manager offers it (WM_TAKE_FOCUS), so the focus moves only once the program has read
# that offer, and a busy program may still act on an older offer (to the window mapped last); keys
# pressed meanwhile go elsewhere. `xdotool windowactivate --sync` does not wait where no window
# has been active yet.
focus_window() {
    wait_until activated "$1"
}

activated() {
    if ! has_focus "$1"; then
        xdotool windowactivate "$1" 2>/dev/null
        sleep 0.2
        has_focus "$1" || return 1
    fi
    sleep 1
    has_focus "$1"
}

# Sets FRAME to "left top right bottom" of the window's outer rectangle on the screen, the window
# manager's frame included.
read_frame() {
    read_geometry "$1" || return 1
    local x y w h l r t b
    read -r x y w h <<<"$GEOMETRY"
    read -r l r t b <<<"$(xprop -id "$1" _NET_FRAME_EXTENTS 2>/dev/null | sed -n 's/.*= *//p' | tr -d ',')"
    FRAME="$((x - ${l:-0})) $((y - ${t:-0})) $((x + w + ${r:-0})) $((y + h + ${b:-0}))"
}

# Screenshot of the main window's client area (the OpenGL picture) into $1.
shoot_picture() {
    local x y w h
    read -r x y w h <<<"$MAIN_GEOMETRY"
    import -window root -crop "${w}x${h}+${x}+${y}" +repage "$1" 2>/dev/null
}

shoot_screen() {
    import -window root "$1" 2>/dev/null
}

# Prints "r g b" of one pixel of an image.
pixel() {
    convert "$1" -format "%[fx:round(255*p{$2,$3}.r)] %[fx:round(255*p{$2,$3}.g)] %[fx:round(255*p{$2,$3}.b)]" info:
}

# Succeeds when pixel ($2, $3) of image $1 is within 4 of the colour "$4".
pixel_is() {
    local r g b er eg eb
    read -r r g b <<<"$(pixel "$1" "$2" "$3")"
    read -r er eg eb <<<"$4"
    [ $(((r - er) * (r - er) <= 16 && (g - eg) * (g - eg) <= 16 && (b - eb) * (b - eb) <= 16)) = 1 ]
}

# The number of pixels in which two pictures of the same size differ beyond a small tolerance.
differing_pixels() {
    compare -metric AE -fuzz 3% "$1" "$2" null: 2>&1 | awk '{print int($1)}'
}

picture_pixels() {
    local x y w h
    read -r x y w h <<<"$MAIN_GEOMETRY"
    echo $((w * h))
}

# Succeeds when the current picture is the reference picture $1 (up to antialiasing noise).
picture_equals() {
    shoot_picture "$work/now.png" || return 1
    [ "$(differing_pixels "$work/now.png" "$1")" -le $(($(picture_pixels) / 1000)) ]
}

# Succeeds when the current picture differs from $1 in at least 2% of its pixels.
picture_differs() {
    shoot_picture "$work/now.png" || return 1
    [ "$(differing_pixels "$work/now.png" "$1")" -ge $(($(picture_pixels) / 50)) ]
}

# --- The settings dialog ------------------------------------------------------------------------------

# The dialog's template is 368 dialog units wide; its width in pixels gives the horizontal scale.
# The vertical scale is measured: in a column through both edit boxes (x = 100 units), the source
# box starts 7 units and the log box 279 units below the top of the client area.
measure_dialog() {
    local x y w h
    read -r x y w h <<<"$DIALOG_GEOMETRY"
    DLG_SX=$(awk -v w="$w" 'BEGIN {print w / 368}')
    import -window root -crop "${w}x${h}+${x}+${y}" +repage "$work/dialog.png" 2>/dev/null
    local column
    column=$(awk -v s="$DLG_SX" 'BEGIN {printf "%d", 100 * s}')
    local gap
    gap=$(awk -v s="$DLG_SX" 'BEGIN {printf "%d", 265 * s}')
    DLG_SY=$(convert "$work/dialog.png" -crop "1x${h}+${column}+0" +repage txt:- | awk -v gap="$gap" -v sx="$DLG_SX" '
        NR == 1 { next }
        { split($1, at, /[,:]/); row = at[2]; colour = $3 }
        row == 2 { background = colour }
        row > 2 && top == "" && colour != background { top = row }
        row >= gap && second == "" && colour != background { second = row }
        END {
            sy = (top != "" && second != "") ? (second - top) / 272 : sx
            if (sy < sx / 2 || sy > sx * 2) sy = sx
            print sy
        }')
}

# Clicks at a point of the dialog given in dialog units.
click_dialog() {
    local x y w h px py
    read -r x y w h <<<"$DIALOG_GEOMETRY"
    px=$(awk -v o="$x" -v u="$1" -v s="$DLG_SX" 'BEGIN {printf "%d", o + u * s}')
    py=$(awk -v o="$y" -v u="$2" -v s="$DLG_SY" 'BEGIN {printf "%d", o + u * s}')
    xdotool mousemove --sync "$px" "$py" click 1
    sleep 0.3
}

# Writes the whole text of the edit box at dialog units ($1, $2) into file $3, taken through the
# clipboard, with Windows line ends made bare line feeds. The clipboard is first given a marker of
# our own, so an old text is never mistaken for the copy; an empty box copies nothing, so a marker
# that stays means an empty text.
copy_edit_text() {
    local marker=morvane-smoke-marker
    printf '%s' "$marker" | xclip -selection clipboard -in >/dev/null 2>&1
    click_dialog "$1" "$2"
    focus_window "$dialog"
    xdotool key --clearmodifiers ctrl+Home ctrl+shift+End ctrl+c
    local deadline=$((SECONDS + 5))
    while :; do
        xclip -selection clipboard -out 2>/dev/null | tr -d '\r' >"$3"
        if [ "$(cat "$3")" != "$marker" ]; then
            break
        fi
        if [ $SECONDS -ge $deadline ]; then
            : >"$3"
            break
        fi
        sleep 0.3
    done
    xdotool key --clearmodifiers ctrl+Home
}

# Succeeds when the log box shows exactly $1; LAST_LOG keeps what it showed.
log_shows() {
    copy_edit_text 184 311 "$work/log.txt"
    LAST_LOG=$(cat "$work/log.txt")
    [ "$(cat "$work/log.txt"; echo x)" = "$1x" ]
}

log_shows_failure() {
    copy_edit_text 184 311 "$work/log.txt"
    LAST_LOG=$(cat "$work/log.txt")
    [ -n "$LAST_LOG" ] && [ "$LAST_LOG" != "Compilation succeeded!" ]
}

# --- Running the program ------------------------------------------------------------------------------

# Starts morvane.exe in folder $1; its output goes to $2.
start_program() {
    (cd "$1" && exec wine "$exe") >"$2" 2>&1 &
    app_pid=$!
}

# Waits for the program to end and sets STATUS to its exit status ("timeout" if it did not end).
wait_for_program() {
    local deadline=$((SECONDS + WAIT_SECONDS))
    while kill -0 "$app_pid" 2>/dev/null; do
        if [ $SECONDS -ge $deadline ]; then
            STATUS=timeout
            return
        fi
        sleep 0.3
    done
    wait "$app_pid"
    STATUS=$?
    app_pid=
}

# Waits for the program to end and checks its exit status: expect_exit STATUS "check" [detail].
# A program that did not end is killed, so the next step starts without it.
expect_exit() {
    local want=$1 what=$2 detail=${3:-}
    wait_for_program
    if [ "$STATUS" = "$want" ]; then
        pass "$what"
        return
    fi
    fail "$what" "status $STATUS${detail:+; $detail}"
    if [ "$STATUS" = timeout ]; then
        kill "$app_pid" 2>/dev/null
        wait "$app_pid" 2>/dev/null
        app_pid=
    fi
}

message_box_text() {
    sed -n 's/.*trace:msgbox:MSGBOX_OnInit L"\(.*\)"\r\{0,1\}$/\1/p' "$1" | head -n 1
}

# A start that fails: the message box appears with the failure's text, followed by the system's
# error code where the system failed ("code") and by none where it did not ("no-code"), and
# closing it ends the process with status 1.
check_failed_start() {
    local name=$1 folder=$2 expected=$3 code=$4
    local log="$work/$name.log"
    start_program "$folder" "$log"
    local box=
    wait_until eval 'box=$(find_window "^Morvane$"); [ -n "$box" ] || ! kill -0 "$app_pid" 2>/dev/null'
    shoot_screen "$shots/$name.png"
    local text
    text=$(message_box_text "$log")
    local coded=no-code
    [[ "$text" == *"Error "* ]] && coded=code
    if [ -n "$box" ] && [[ "$text" == *"$expected"* ]] && [ "$coded" = "$code" ]; then
        pass "$name: a message box shows the failure ($text)"
    else
        fail "$name: a message box shows the failure" "window '${box:-none}', text '$text', expected '$expected' and $code"
    fi
    if [ -n "$box" ]; then
        xdotool windowactivate --sync "$box" 2>/dev/null
        xdotool key --clearmodifiers Return
    fi
    expect_exit 1 "$name: the process exits with status 1"
}

# --- The program's windows and its picture -------------------------------------------------------

# Waits until the main window and the settings dialog are both on the screen, or the program has
# ended; sets MAIN and DIALOG to their X windows (empty for one that did not open).
wait_for_windows() {
    main=
    dialog=
    wait_until eval 'main=$(find_window "^Morvane - "); dialog=$(find_window "^Settings$"); [ -n "$main" ] && [ -n "$dialog" ] || ! kill -0 "$app_pid" 2>/dev/null'
}

# The first picture: the red sphere in the middle, and the sky in both top corners (the right one
# is drawn by the second instance of the quad). The sky is brighter after the valid edit.
mx=0 my=0 mw=0 mh=0
MAIN_GEOMETRY="0 0 0 0"
sky_before="51 77 128"
sky_after="64 96 159"
first_picture_drawn() {
    # The window manager may still be placing the windows: read where they are each time.
    read_picture_geometry "$main" && MAIN_GEOMETRY=$GEOMETRY || return 1
    read -r mx my mw mh <<<"$MAIN_GEOMETRY"
    shoot_picture "$work/first.png" || return 1
    local r g b
    read -r r g b <<<"$(pixel "$work/first.png" $((mw / 2)) $((mh / 2)))"
    [ "$r" -gt 80 ] && [ "$r" -gt $((2 * g)) ] && [ "$r" -gt $((2 * b)) ] &&
        pixel_is "$work/first.png" 4 4 "$sky_before" && pixel_is "$work/first.png" $((mw - 5)) 4 "$sky_before"
}
# --- The checks ------------------------------------------------------------------------------------

# The failed starts, then the scene driven as a user would, on the 1920 x 1080 screen.
check_scene() {
    echo "Creating a Wine prefix"
    wineboot -i >"$work/wineboot.log" 2>&1

    # 1. No shader files: the scene cannot load them.
    mkdir -p "$work/empty"
    check_failed_start "no-shader-files" "$work/empty" "File couldn't be loaded." code

    # 2. A pixel shader that does not compile: the windows exist already when start-up fails.
    mkdir -p "$work/broken/glsl"
    cp "$here/scene/glsl/vertexShader.glsl" "$work/broken/glsl/"
    printf 'void main()\n{\n    gl_FragColor = vec4(1.0)\n}\n' >"$work/broken/glsl/pixelShader.glsl"
    check_failed_start "broken-shader" "$work/broken" "error" no-code

    # 3. The scene of tests/windows/scene.
    local run="$work/run"
    mkdir -p "$run"
    cp -r "$here/scene/glsl" "$run/"
    start_program "$run" "$work/run.log"

    wait_for_windows
    if [ -z "$main" ] || [ -z "$dialog" ]; then
        shoot_screen "$shots/no-windows.png"
        fail "the main window and the settings dialog open" "main '${main:-none}', dialog '${dialog:-none}'; message box: '$(message_box_text "$work/run.log")'"
        return
    fi
    pass "the main window and the settings dialog open"

    if wait_until first_picture_drawn; then
        pass "the picture is drawn (sphere in the middle, sky in both top corners)"
    else
        fail "the picture is drawn" "centre $(pixel "$work/first.png" $((mw / 2)) $((mh / 2))), top left $(pixel "$work/first.png" 4 4), top right $(pixel "$work/first.png" $((mw - 5)) 4), sky should be $sky_before"
    fi
    cp "$work/first.png" "$shots/first.png"
    shoot_screen "$shots/screen.png"

    # The dialog stands right of the main window, its bottom level with the main window's bottom.
    read_geometry "$dialog" && DIALOG_GEOMETRY=$GEOMETRY
    read -r dx dy dw dh <<<"$DIALOG_GEOMETRY"
    if [ "$dx" -gt $((mx + mw)) ] && [ "$dx" -lt $((mx + mw + 60)) ] && [ "$dy" -ge "$my" ] && [ "$dy" -lt $((my + 60)) ] &&
        [ $(((dy + dh) - (my + mh))) -le 12 ] && [ $(((my + mh) - (dy + dh))) -le 12 ]; then
        pass "the settings dialog stands beside the main window"
    else
        fail "the settings dialog stands beside the main window" "main at $MAIN_GEOMETRY, dialog at $DIALOG_GEOMETRY"
    fi

    measure_dialog
    echo "One dialog unit is $DLG_SX x $DLG_SY pixels"
    copy_edit_text 40 20 "$work/source-box.txt"
    if cmp -s "$work/source-box.txt" "$run/glsl/pixelShader.glsl"; then
        pass "the source box holds the pixel shader's text"
    else
        cp "$work/source-box.txt" "$shots/"
        fail "the source box holds the pixel shader's text" "it holds $(wc -c <"$work/source-box.txt") bytes (source-box.txt), the file $(wc -c <"$run/glsl/pixelShader.glsl")"
    fi

    # A left-button drag across the picture orbits the camera.
    xdotool mousemove --sync $((mx + mw / 2)) $((my + mh / 2)) mousedown 1
    for step in 1 2 3 4 5 6 7 8 9 10; do
        xdotool mousemove --sync $((mx + mw / 2 + step * 12)) $((my + mh / 2 + step * 3))
        sleep 0.05
    done
    xdotool mouseup 1
    if wait_until picture_differs "$work/first.png"; then
        pass "a left-button drag orbits the camera"
    else
        fail "a left-button drag orbits the camera" "the picture stayed the same"
    fi
    cp "$work/now.png" "$shots/orbited.png"

    # "Reset Camera" (7, 255, 51 x 18 dialog units) brings the first picture back.
    click_dialog 32 264
    if wait_until picture_equals "$work/first.png"; then
        pass "\"Reset Camera\" restores the first picture"
    else
        fail "\"Reset Camera\" restores the first picture" "$(differing_pixels "$work/now.png" "$work/first.png") pixels differ"
    fi
    cp "$work/now.png" "$shots/reset.png"

    # Typing "5" at the end of the first line makes the sky brightness 0.25: a valid change.
    click_dialog 40 20
    focus_window "$dialog"
    xdotool key --clearmodifiers ctrl+Home End
    xdotool type --delay 100 5
    sky_changed() {
        shoot_picture "$work/edited.png" && pixel_is "$work/edited.png" 4 4 "$sky_after" &&
            pixel_is "$work/edited.png" $((mw - 5)) 4 "$sky_after"
}
if wait_until sky_changed; then
    pass "typing a valid change into the source box recompiles it (the sky is brighter)"
else
    fail "typing a valid change into the source box recompiles it" "top left $(pixel "$work/edited.png" 4 4), top right $(pixel "$work/edited.png" $((mw - 5)) 4), sky should be $sky_after"
fi
cp "$work/edited.png" "$shots/edited.png"
LAST_LOG=
if wait_until log_shows "Compilation succeeded!"; then
    pass "the log box shows \"Compilation succeeded!\""
else
    fail "the log box shows \"Compilation succeeded!\"" "it shows '$LAST_LOG'"
fi

# Typing "x" after it breaks the shader: the log shows the compiler's message and the picture
# stays the last one that built.
click_dialog 40 20
focus_window "$dialog"
xdotool key --clearmodifiers ctrl+Home End
xdotool type --delay 100 x
LAST_LOG=
if wait_until log_shows_failure; then
    pass "a syntax error shows the compiler's log ($(head -n 1 <<<"$LAST_LOG"))"
else
    fail "a syntax error shows the compiler's log" "the log shows '$LAST_LOG'"
fi
if picture_equals "$work/edited.png"; then
    pass "a syntax error keeps the picture"
else
    fail "a syntax error keeps the picture" "$(differing_pixels "$work/now.png" "$work/edited.png") pixels differ"
fi
cp "$work/now.png" "$shots/syntax-error.png"

# A fast burst (a key every 30 ms) that types on and then takes the "x" and itself back: the log
# and the picture end as the final text's, the valid one.
click_dialog 40 20
focus_window "$dialog"
xdotool key --clearmodifiers ctrl+Home End
xdotool type --delay 30 'yz'
xdotool key --delay 30 --clearmodifiers BackSpace BackSpace BackSpace
LAST_LOG=
if wait_until log_shows "Compilation succeeded!" && wait_until picture_equals "$work/edited.png"; then
    pass "a fast burst ends with the final text's log and picture"
else
    fail "a fast burst ends with the final text's log and picture" "the log shows '$LAST_LOG'"
fi

# Another program saves the pixel shader's file (a new file renamed over it) while the editor holds
# unsaved edits: the folder's change notification brings the news, the editor keeps its text and
# the log says the file changed on disk.
log_mentions() {
    copy_edit_text 184 311 "$work/log.txt"
    LAST_LOG=$(cat "$work/log.txt")
    grep -q "$1" "$work/log.txt"
}
{ printf '// written by another program\r\n'; cat "$here/scene/glsl/pixelShader.glsl"; } >"$run/glsl/saving.tmp"
mv -f "$run/glsl/saving.tmp" "$run/glsl/pixelShader.glsl"
LAST_LOG=
if wait_until log_mentions "changed on disk, and the editor holds unsaved edits"; then
    pass "a file saved by another program under unsaved edits is noticed in the log"
else
    fail "a file saved by another program under unsaved edits is noticed in the log" "the log shows '$LAST_LOG'"
fi
copy_edit_text 40 20 "$work/source.txt"
if ! grep -q 'written by another program' "$work/source.txt"; then
    pass "the editor keeps its unsaved text"
else
    fail "the editor keeps its unsaved text" "it took the file's text"
fi

# Closing the main window ends the process with status 0.
focus_window "$main"
xdotool key --clearmodifiers alt+F4
expect_exit 0 "closing the main window ends the process with status 0" \
    "message box: '$(message_box_text "$work/run.log")'"
    # 4. A text in Shadertoy's form with an image in channel 0 (decoded by the Windows Imaging
    # Component): the image on the left half, iResolution on the right.
    local toy="$work/shadertoy"
    mkdir -p "$toy/glsl"
    cp "$here/scene/glsl/vertexShader.glsl" "$toy/glsl/"
    printf '%s\n' 'void mainImage(out vec4 fragColor, in vec2 fragCoord)' '{' \
        '    vec2 uv = fragCoord / iResolution.xy;' \
        '    fragColor = uv.x < 0.4 ? texture(iChannel0, uv) : vec4(iResolution.xy / 1000.0, 0.5, 0.0);' \
        '}' >"$toy/glsl/pixelShader.glsl"
    convert -size 8x8 'xc:rgb(200,40,90)' "$toy/glsl/channel0.png"
    start_program "$toy" "$work/shadertoy.log"
    wait_for_windows
    shadertoy_drawn() {
        read_picture_geometry "$main" && MAIN_GEOMETRY=$GEOMETRY || return 1
        read -r mx my mw mh <<<"$MAIN_GEOMETRY"
        shoot_picture "$work/shadertoy.png" || return 1
        pixel_is "$work/shadertoy.png" 20 $((mh / 2)) "200 40 90" &&
            pixel_is "$work/shadertoy.png" $((mw - 20)) $((mh / 2)) "204 153 128"
    }
    if [ -n "$main" ] && wait_until shadertoy_drawn; then
        pass "a text in Shadertoy's form draws its channel image and iResolution"
    else
        fail "a text in Shadertoy's form draws its channel image and iResolution" \
            "left $(pixel "$work/shadertoy.png" 20 $((mh / 2))), right $(pixel "$work/shadertoy.png" $((mw - 20)) $((mh / 2))); message box: '$(message_box_text "$work/shadertoy.log")'"
    fi
    cp "$work/shadertoy.png" "$shots/shadertoy.png" 2>/dev/null
    focus_window "$main"
    xdotool key --clearmodifiers alt+F4
    expect_exit 0 "closing the Shadertoy text's window ends the process with status 0"
}

# 5. A 1366 x 768 screen: the dialog must lie wholly on it, beside the main window where it fits
# (how wide it is depends on the dialog font's size in pixels), moved back over the main window
# where it does not.
check_small_screen() {
    local run="$work/small"
    mkdir -p "$run"
    cp -r "$here/scene/glsl" "$run/"
    start_program "$run" "$work/small.log"
    wait_for_windows
    if [ -n "$main" ] && [ -n "$dialog" ]; then
        pass "on a 1366 x 768 screen the main window and the settings dialog open"
        # The window manager may still be framing the dialog: read its place until it is settled.
        dialog_on_screen() {
            read_frame "$dialog" || return 1
            read -r fl ft fr fb <<<"$FRAME"
            [ "$fl" -ge 0 ] && [ "$ft" -ge 0 ] && [ "$fr" -le 1366 ] && [ "$fb" -le 768 ] && [ "$fr" -gt "$fl" ]
        }
        FRAME=
        if wait_until dialog_on_screen; then
            pass "on a 1366 x 768 screen the settings dialog lies wholly on the screen ($FRAME)"
        else
            fail "on a 1366 x 768 screen the settings dialog lies wholly on the screen" "its outer rectangle is ${FRAME:-unknown}"
        fi
        # Until the first picture the program is still starting and reads no window-manager
        # message, so it could not take the focus.
        if ! wait_until first_picture_drawn; then
            fail "on a 1366 x 768 screen the picture is drawn" "centre $(pixel "$work/first.png" $((mw / 2)) $((mh / 2)))"
        fi
        shoot_screen "$shots/screen-1366x768.png"
        focus_window "$main"
        xdotool key --clearmodifiers alt+F4
        expect_exit 0 "on a 1366 x 768 screen closing the main window ends the process with status 0"
    else
        shoot_screen "$shots/small-no-windows.png"
        fail "on a 1366 x 768 screen the main window and the settings dialog open" "main '${main:-none}', dialog '${dialog:-none}'; message box: '$(message_box_text "$work/small.log")'"
    fi
}

case $phase in
scene) check_scene ;;
small-screen) check_small_screen ;;
*)
    echo "smoke-test.sh: no checks named $phase" >&2
    exit 2
    ;;
esac
[ "$failures" = 0 ]
