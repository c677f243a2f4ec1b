#!/usr/bin/env bash
# A text in Shadertoy's form, run as it is: it writes its inputs into the picture (iResolution,
# iFrame, iDate, a texel of channel0.png, iMouse during a drag and after it), read back from the
# screen; a broken line is marked where the user sees it; a corrupt channel0.png is reported and
# noise shows in its place; an OpenGL 3.0 context (GLSL 1.30) draws the text, and one of 2.1 says
# in one sentence what the text needs.
source "$(dirname "$0")/lib.sh"

# The picture's cells are 200 x 150 pixels of the surface, counted from its bottom-left corner; a
# screenshot's rows count from the top of the client area, where the surface's top row is.
cell_colour() {  # screenshot, column, row (from the bottom), then x y inside the cell (default middle)
    local height
    height=$(picture_height "$1")
    pixel_at "$1" $(($2 * 200 + ${4:-100})) $((height - 1 - $3 * 150 - ${5:-75}))
}

# Whether "r g b" is within `tolerance` of the expected three numbers.
near() {  # "r g b" expected_r expected_g expected_b tolerance
    local r g b
    read -r r g b <<<"$1"
    [ -n "$b" ] && [ $((r > $2 ? r - $2 : $2 - r)) -le "$5" ] && [ $((g > $3 ? g - $3 : $3 - g)) -le "$5" ] &&
        [ $((b > $4 ? b - $4 : $4 - b)) -le "$5" ]
}

not_near() { ! near "$@"; }

# iFrame as the frame cell shows it.
frame_number() { local r g _; read -r r g _ < <(cell_colour "$1" 1 0); echo $((g * 256 + r)); }

new_folder
cp "$E2E_SCENE/shadertoyInputs.glsl" "$FOLDER/glsl/pixelShader.glsl"
# channel0.png: red top-left, green top-right, blue bottom-left, yellow bottom-right.
timeout 20 convert -size 64x64 xc:blue -fill red -draw 'rectangle 0,0 31,31' -fill lime -draw 'rectangle 32,0 63,31' \
    -fill yellow -draw 'rectangle 32,32 63,63' "$FOLDER/glsl/channel0.png"
start_viewer
read -r _ _ CLIENT_W CLIENT_H < <(client_rect "$MAIN")
note "main window's client area: $CLIENT_W x $CLIENT_H"
shot first
settle 1
shot second

check "iResolution is the 800 x 600 surface, and 1 (read: $(cell_colour first 0 0))" near "$(cell_colour first 0 0)" 200 150 100 1
first_frame=$(frame_number first)
second_frame=$(frame_number second)
check "iFrame has counted frames (read $first_frame)" [ "$first_frame" -gt 0 ]
check "iFrame goes on counting (read $second_frame a second later)" [ "$second_frame" -gt "$first_frame" ]
read -r year month day < <(date '+%Y %-m %-d')
check "iDate is today's date, its month from 0 (read: $(cell_colour first 2 0); today $year-$month-$day)" \
    near "$(cell_colour first 2 0)" $((year - 2000)) $((month - 1)) "$day" 0
check "channel0.png stands upright: its top-left texel is red (read: $(cell_colour first 3 0))" \
    near "$(cell_colour first 3 0)" 255 0 0 2
# The whole image over its cell: red at the top-left, yellow at the bottom-right.
check "channel 0 over a cell has red at the top-left (read: $(cell_colour first 2 1 50 110))" \
    near "$(cell_colour first 2 1 50 110)" 255 0 0 2
check "and yellow at the bottom-right (read: $(cell_colour first 2 1 150 40))" \
    near "$(cell_colour first 2 1 150 40)" 255 255 0 2
check "on the newest OpenGL the text is compiled as GLSL 3.30 (read: $(cell_colour first 3 1))" \
    near "$(cell_colour first 3 1)" 33 0 0 1
check "iMouse is 0 before any press (read: $(cell_colour first 0 1))" near "$(cell_colour first 0 1)" 0 0 0 0

# A real drag with the left button, held while the picture is read, then released.
xdo windowactivate --sync "$MAIN" 2>/dev/null
xdo mousemove --window "$MAIN" 120 $((CLIENT_H - 60)) mousedown 1
for step in 1 2 3 4; do
    xdo mousemove --window "$MAIN" $((120 + step * 40)) $((CLIENT_H - 60 - step * 20))
    sleep 0.1
done
settle 1
shot dragging
xdo mouseup 1
settle 1
shot released
# The pointer ends at window (280, H - 140), which is surface (280, 599 - (H - 140)); the press
# was at (120, 599 - (H - 60)).
x1=280 y1=$((599 - (CLIENT_H - 140))) x0=120 y0=$((599 - (CLIENT_H - 60)))
check "during the drag iMouse.xy is the pointer (read: $(cell_colour dragging 0 1); expected about $((x1 / 4)) $((y1 / 4)))" \
    near "$(cell_colour dragging 0 1)" $((x1 / 4)) $((y1 / 4)) 0 1
check "during the drag zw is the press, z positive and w no longer (read: $(cell_colour dragging 1 1))" \
    near "$(cell_colour dragging 1 1)" $((x0 / 4)) $((y0 / 4)) 200 1
check "after the release xy keeps the last place (read: $(cell_colour released 0 1))" \
    near "$(cell_colour released 0 1)" $((x1 / 4)) $((y1 / 4)) 0 1
check "after the release z is negative (read: $(cell_colour released 1 1))" \
    near "$(cell_colour released 1 1)" $((x0 / 4)) $((y0 / 4)) 50 1

# A broken third line: the log names it as the user counts, and the gutter marks it there.
focus_source_start
xdo key --clearmodifiers Down Down
type_text 'oops '
settle
log=$(read_log)
check "the compiler's message names line 3 of the text (got: $log)" grep -q '^0:3(' <<<"$log"
dialog_shot marked
read -r -a marks < <(read_marks marked)
check "the broken third line is marked in the gutter (got: ${marks[*]})" mark_at_line 3 "${marks[@]}"
shot broken
check "the picture goes on through the broken text" near "$(cell_colour broken 0 0)" 200 150 100 1
focus_source_start
xdo key --clearmodifiers Down Down Delete Delete Delete Delete Delete
settle
log=$(read_log)
check "the mended text compiles (got: $log)" [ "$log" = "Compilation succeeded!" ]

# Save writes the user's text and nothing of what runs around it.
click_save
settle
check "Save writes the text as the user wrote it" cmp -s <(tr -d '\r' <"$FOLDER/glsl/pixelShader.glsl") \
    "$E2E_SCENE/shadertoyInputs.glsl"

# A corrupt channel0.png, read again by Reload: the log names the file and why, and the channel
# shows noise.
printf 'not a picture at all' >"$FOLDER/glsl/channel0.png"
click_reload
settle
log=$(read_log)
check "the log names the corrupt channel0.png and the reason (got: $log)" \
    grep -q 'channel0.png couldn.t be used, so channel 0 shows noise instead' <<<"$log"
check "the reason follows on the next line" [ "$(sed -n 2p <<<"$log" | wc -c)" -gt 10 ]
check "the text still compiles below the notice" grep -qx 'Compilation succeeded!' <<<"$log"
shot noise
read -r cx cy < <(awk -v h="$(picture_height noise)" 'BEGIN { print 400, h - 1 - 225 }')
colours=$(timeout 20 convert "$E2E_WORK/noise.png" -crop 100x60+$((cx - 50))+$((cy - 30)) +repage -unique-colors txt:- | tail -n +2 | wc -l)
check "channel 0 shows noise instead of the image ($colours colours in a patch of its cell)" [ "$colours" -gt 200 ]
check "the image's red is gone from the texel's cell (read: $(cell_colour noise 3 0))" \
    not_near "$(cell_colour noise 3 0)" 255 0 0 30
close_main
wait_exit
check "the program ends normally (status $EXIT_STATUS)" [ "$EXIT_STATUS" = 0 ]

# OpenGL 3.0 with GLSL 1.30: the text is wrapped for 1.30 and draws the same.
new_folder
cp "$E2E_SCENE/shadertoyInputs.glsl" "$FOLDER/glsl/pixelShader.glsl"
VIEWER_ENV=(MESA_GL_VERSION_OVERRIDE=3.0 MESA_GLSL_VERSION_OVERRIDE=130)
start_viewer
shot gl30
check "under OpenGL 3.0 the text draws its inputs (read: $(cell_colour gl30 0 0))" near "$(cell_colour gl30 0 0)" 200 150 100 1
check "the OpenGL 3.0 asked for is in effect: the text is compiled as GLSL 1.30 (read: $(cell_colour gl30 3 1))" \
    near "$(cell_colour gl30 3 1)" 13 0 0 1
check "under OpenGL 3.0 the missing channel is noise, not black (read: $(cell_colour gl30 3 0))" \
    not_near "$(cell_colour gl30 3 0)" 0 0 0 0
close_main
wait_exit

# OpenGL 2.1 with GLSL 1.20: a text in Shadertoy's form typed in is refused in one sentence and the
# picture stays; one that the program starts with ends its start with that sentence.
new_folder
VIEWER_ENV=(MESA_GL_VERSION_OVERRIDE=2.1 MESA_GLSL_VERSION_OVERRIDE=120)
start_viewer
shot before21
click_in_dialog 180 120
xdo key --clearmodifiers ctrl+a Delete
type_text 'void mainImage(out vec4 c, in vec2 p) { c = vec4(1.0); }'
# Each keystroke is compiled in turn; a loaded machine may still be at it.
for _ in $(seq 10); do
    settle
    log=$(read_log)
    grep -q 'GLSL' <<<"$log" && break
done
check "under OpenGL 2.1 the log says what the text needs and what this OpenGL offers (got: $log)" \
    grep -q 'needs .*GLSL 1.30 or later, but this OpenGL offers GLSL 1.20' <<<"$log"
check "the sentence is one line" [ "$(wc -l <<<"$log")" = 1 ]
shot after21
check "the last good picture stays" same_picture before21 after21
close_main
wait_exit

new_folder
cp "$E2E_SCENE/shadertoyInputs.glsl" "$FOLDER/glsl/pixelShader.glsl"
(cd "$FOLDER" && exec env MESA_GL_VERSION_OVERRIDE=2.1 MESA_GLSL_VERSION_OVERRIDE=120 timeout 60 "$MORVANE" \
    >"$FOLDER/stdout.txt" 2>"$FOLDER/stderr.txt")
status=$?
check "started with the text under OpenGL 2.1 it ends with status 1 (got $status)" [ "$status" = 1 ]
check "and says why (stderr: $(cat "$FOLDER/stderr.txt"))" grep -q 'GLSL 1.30 or later' "$FOLDER/stderr.txt"
finish
