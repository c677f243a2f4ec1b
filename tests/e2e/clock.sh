#!/usr/bin/env bash
# The command line and the clock in the user's hands: a scene named on the command line (a pixel
# shader file with no vertex shader beside it) opens from any folder and is the file Save and the
# kept copy work on; wrong use ends with status 2, one sentence and the usage; --help prints the
# usage; in the main window Space stops and starts the clock, Right and Left step it while stopped
# (never below 0), Home sets it to 0, and the log says where a stopped clock stands; F12 saves the
# picture, the same as a render of the scene at that time with no display.
source "$(dirname "$0")/lib.sh"

# The scene: a pixel shader file with no vertex shader beside it.
scene=$(mktemp -d "$E2E_WORK/scene-XXXXXX")
cat >"$scene/clock.frag" <<'GLSL'
uniform mat4 screen2World;
uniform vec3 cameraPos;
uniform float totalTime;

// Red is the clock's fraction of a second; a sphere at the origin gives the picture a shape.
void main()
{
    vec4 nearPoint = screen2World * vec4(gl_FragCoord.xy, 0.0, 1.0);
    vec4 farPoint = screen2World * vec4(gl_FragCoord.xy, 1.0, 1.0);
    vec3 direction = normalize(farPoint.xyz / farPoint.w - nearPoint.xyz / nearPoint.w);
    float b = dot(cameraPos, direction);
    float h = b * b - dot(cameraPos, cameraPos) + 36.0;
    float sphere = h > 0.0 ? 0.5 + 0.5 * normalize(cameraPos + (-b - sqrt(h)) * direction).y : 0.0;
    gl_FragColor = vec4(fract(totalTime), 0.25 + 0.5 * sphere, 0.5 + 0.5 * direction.y, 1.0);
}
GLSL

# The red of the main window's picture at (20, 20), from 0 to 255.
red() {
    shot "$1"
    timeout 20 convert "$E2E_WORK/$1.png" -crop 1x1+20+20 -depth 8 txt:- | sed -n 's/.*(\([0-9]*\),.*/\1/p' | head -n 1
}
near() { [ $(($1 - $2)) -ge -2 ] && [ $(($1 - $2)) -le 2 ]; }  # value expected
press() {
    xdo windowactivate --sync "$MAIN" 2>/dev/null
    xdo key --clearmodifiers "$@"
    settle 0.7
}

# Wrong use and help, from a folder with no scene at all.
new_folder
rm -r "$FOLDER/glsl"
(cd "$FOLDER" && "$MORVANE" --size 640x480 >"$FOLDER/out.txt" 2>"$FOLDER/err.txt")
status=$?
check "wrong use ends with status 2 (got $status)" [ "$status" = 2 ]
check "one sentence says what is wrong and what would be right ($(head -n 1 "$FOLDER/err.txt"))" \
    grep -q '^--size applies to a render only: add --render OUT' "$FOLDER/err.txt"
check "the usage follows it" grep -q '^Usage:' "$FOLDER/err.txt"
(cd "$FOLDER" && "$MORVANE" "$scene/missing.frag" 2>"$FOLDER/err.txt")
status=$?
check "a scene that is not there is wrong use too (status $status: $(head -n 1 "$FOLDER/err.txt"))" \
    bash -c "[ $status = 2 ] && grep -q 'There is no file or folder' '$FOLDER/err.txt'"
(cd "$FOLDER" && "$MORVANE" --help >"$FOLDER/out.txt" 2>"$FOLDER/err.txt")
status=$?
check "--help prints the usage on standard output with status 0 (got $status)" \
    bash -c "[ $status = 0 ] && grep -q '^Usage:' '$FOLDER/out.txt' && [ ! -s '$FOLDER/err.txt' ]"
check "and nothing was written in the folder" [ "$(ls -A "$FOLDER" | grep -cv -e '^out.txt$' -e '^err.txt$')" = 0 ]

# The named scene, from that folder.
VIEWER_ARGS=("$scene/clock.frag")
start_viewer
first=$(red running-1)
sleep 0.4
second=$(red running-2)
check "the clock runs ($first, then $second)" [ "$first" != "$second" ]

press space
log=$(read_log)
check "Space stops the clock and the log says where it stands (got: $log)" \
    grep -q '^The clock is stopped at [0-9]*\.[0-9][0-9][0-9] s (frame [0-9]*): Space starts it again' <<<"$log"
stopped=$(red stopped-1)
sleep 0.6
check "a stopped clock keeps the picture" [ "$(red stopped-2)" = "$stopped" ]

press Home
check "Home sets the clock to 0 (red $(red home))" near "$(red home)" 0
check "the log says so" grep -q '^The clock is stopped at 0.000 s (frame 0)' <<<"$(read_log)"

# F12 saves the picture in the scene's folder; a render of the scene at time 0 with no display is
# the same picture, and so is what the window shows of it (its client area, from the bottom-left).
press F12
log=$(read_log)
check "F12 names the saved picture in the log (got: $log)" \
    grep -qE "^The picture was saved as .*/screenshots/morvane-[0-9]{8}-[0-9]{6}\.png\.$" <<<"$log"
press F12 F12
# Every press keeps its own picture; those that fall in the same second are numbered. (A slow
# machine may spread the presses over several seconds, so the numbering is checked where it applies.)
pictures=$(ls "$scene/screenshots")
stamps=$(grep -oE '^morvane-[0-9]{8}-[0-9]{6}' <<<"$pictures" | sort -u | wc -l)
check "every press keeps its own picture ($(tr '\n' ' ' <<<"$pictures"))" [ "$(wc -l <<<"$pictures")" -eq 3 ]
check "pictures taken within one second are numbered" \
    bash -c '[ "$1" -eq 3 ] || grep -qE "^morvane-[0-9]{8}-[0-9]{6}-2\.png$" <<<"$2"' _ "$stamps" "$pictures"
(unset DISPLAY; "$MORVANE" --render "$E2E_WORK/rendered.png" --time 0 "$scene/clock.frag" 2>/dev/null)
shot window-at-0
read -r _ _ client_width client_height < <(client_rect "$MAIN")
convert "$E2E_WORK/rendered.png" -gravity SouthWest -crop "${client_width}x${client_height}+0+0" +repage \
    "$E2E_WORK/rendered-visible.png"
cp "$scene/screenshots/$(ls "$scene/screenshots" | head -n 1)" "$E2E_WORK/f12.png"
check "the F12 picture is the render at time 0 as the window shows it ($client_width x $client_height)" \
    same_picture rendered-visible f12
check "and so is the window's own picture" same_picture rendered-visible window-at-0
press Right Right Right
check "Right steps the stopped clock by 1/60 s a press (red $(red right))" near "$(red right)" 13
press Left
check "Left steps it back (red $(red left))" near "$(red left)" 9
check "the log follows the steps" grep -q '^The clock is stopped at 0.033 s (frame 2)' <<<"$(read_log)"
press Left Left Left Left
check "never below 0 (red $(red floor))" near "$(red floor)" 0
focus_source_start
type_text '// stopped
'
settle
log=$(read_log)
check "edits compile while the clock stands, their result below the notice (got: $log)" \
    bash -c 'grep -q "^The clock is stopped at 0.000 s" <<<"$1" && [ "$(tail -n 1 <<<"$1")" = "Compilation succeeded!" ]' _ "$log"
press space
first=$(red restarted-1)
sleep 0.4
check "Space starts it again" [ "$(red restarted-2)" != "$first" ]
check "and the notice goes" bash -c '! grep -q "clock is stopped" <<<"$1"' _ "$(read_log)"

# Save and the kept copy work on the named file.
check "the kept copy lies beside the named file" grep -q '^// stopped' "$scene/clock.frag.unsaved"
click_save
settle
check "Save writes the named file" grep -q '^// stopped' "$scene/clock.frag"
check "the current folder gets nothing" [ -z "$(ls -A "$FOLDER" | grep -v -e '^stdout.txt$' -e '^stderr.txt$' -e '^out.txt$' -e '^err.txt$')" ]
mv "$scene/screenshots" "$scene/taken"
touch "$scene/screenshots"
press F12
log=$(read_log)
check "a picture that cannot be written is reported with the reason (got: $(tr '\n' ' ' <<<"$log"))" \
    bash -c 'grep -q "^The picture could not be saved.$" <<<"$1" && grep -q "could not be written" <<<"$1"' _ "$log"
check "and the viewer goes on" running
close_main
wait_exit
check "the viewer ends with status 0 (got $EXIT_STATUS)" [ "$EXIT_STATUS" = 0 ]
finish
