#!/usr/bin/env bash
# The viewer on one window manager and screen size, as a user meets it there: the Settings window
# and every one of its controls on the screen, standing beside the main window when both fit, and
# each button, an orbit and a live edit doing their job. Run once per window manager and size;
# arguments (NAME=value) are settings of the desktop the program runs in, such as its scale.
source "$(dirname "$0")/lib.sh"
VIEWER_ENV=("$@")

# Where the two windows cannot stand side by side they overlap: each picture is taken with the
# main window raised, so that it shows the scene alone.
main_shot() {
    xdo windowactivate --sync "$MAIN" 2>/dev/null
    settle 0.3
    shot "$1"
}

new_folder
start_viewer
read -r screen_w screen_h < <(root_size)
read -r area_x area_y area_w area_h < <(work_area)
read -r mx my mw mh < <(frame_rect "$MAIN")
read -r dx dy dw dh < <(frame_rect "$DLG")
read -r cx cy cw _ < <(client_rect "$DLG")
note "screen ${screen_w}x$screen_h, work area $area_x $area_y $area_w $area_h," \
    "main frame $mx $my $mw $mh, dialog frame $dx $dy $dw $dh"

check "the main window's frame lies on the screen" inside "$mx" "$my" "$mw" "$mh" 0 0 "$screen_w" "$screen_h"
check "the Settings window's frame lies on the screen" inside "$dx" "$dy" "$dw" "$dh" 0 0 "$screen_w" "$screen_h"
# The template's controls (dialog units), each where a click can reach it: on the screen and
# off any panel of the window manager.
while read -r name x y w h; do
    read -r px py pw ph < <(control_rect "$x" "$y" "$w" "$h" "$cx" "$cy")
    check "the $name ($px $py $pw $ph) lies in the work area" \
        inside "$px" "$py" "$pw" "$ph" "$area_x" "$area_y" "$area_w" "$area_h"
done <<'EOF'
source-box 7 7 354 245
log-box 7 279 354 64
Reload 327 256 33 17
Save 292 256 32 18
Reset-Camera 7 255 51 18
EOF
if [ $((mw + dw)) -le "$area_w" ]; then
    # A frame's width (d) right of the main window and below its top, its bottom level with the
    # main window's, whatever frame this manager gives.
    d=$((dw - cw))
    check "the Settings window stands $d px right of the main window ($dx, main ends at $((mx + mw)))" \
        [ "$dx" = $((mx + mw + d)) ]
    check "the Settings window's top is $d px below the main window's ($dy, main at $my)" [ "$dy" = $((my + d)) ]
    check "the two windows' bottoms are level ($((my + mh)) and $((dy + dh)))" [ $((dy + dh)) = $((my + mh)) ]
else
    note "the two windows do not fit side by side in $area_w pixels"
fi

main_shot start
drag_main 300 300 420 330
settle
main_shot dragged
check "a left-button drag orbits the camera" different_picture start dragged
click_reset_camera
settle
main_shot reset
check "Reset Camera restores the first picture exactly" same_picture start reset

focus_source_start
type_text '#define TINT 1.0
'
settle
main_shot tinted
check "a live edit changes the picture" different_picture start tinted
log=$(read_log)
check "the log says the compilation succeeded (got: $log)" [ "$log" = "Compilation succeeded!" ]

click_save
settle 1
check "Save writes the edited text to the file" grep -q '^#define TINT 1.0' "$FOLDER/glsl/pixelShader.glsl"

{ echo '// changed on disk'; cat "$E2E_SCENE/pixelShader.glsl"; } >"$FOLDER/glsl/pixelShader.glsl"
click_reload
settle
main_shot reloaded
check "Reload brings the file on disk back into the picture" same_picture start reloaded
check "Reload brings the file on disk into the editor" grep -q '^// changed on disk' <<<"$(read_source)"
check "the program is still running" running
finish
