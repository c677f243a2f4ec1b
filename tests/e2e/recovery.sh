#!/usr/bin/env bash
# Unsaved edits survive the viewer's end: the editor's text is kept beside the shader file while it
# differs from the file's, before it is compiled, so a viewer killed outright (after an edit, or
# hung in a frame by a loop that never ends) loses nothing; the next start says where the edits
# are and never writes over them, and keeps this run's edits once the user deleted them; Save, or
# typing back to the file's text, removes the copy; and a copy that cannot be written is reported
# once while editing goes on.
source "$(dirname "$0")/lib.sh"

kept() { echo "$FOLDER/glsl/pixelShader.glsl.unsaved${1:-}"; }
kill_viewer() {
    kill -9 "$MORVANE_PID"
    wait "$MORVANE_PID" 2>/dev/null
    MORVANE_PID=
}
# Waits until the file $1 exists and holds the text $2.
wait_for_text() {
    for _ in $(seq 100); do
        grep -qF -- "$2" "$1" 2>/dev/null && return 0
        sleep 0.1
    done
    return 1
}

new_folder
start_viewer
shot start
focus_source_start
type_text '// first run
'
settle
check "an edit is kept beside the shader file" grep -q '^// first run' "$(kept)"
check "the kept copy has CR LF line ends, as Save writes" crlf_lines "$(kept)"
check "the shader file itself is untouched" cmp -s "$FOLDER/glsl/pixelShader.glsl" "$E2E_SCENE/pixelShader.glsl"
kill_viewer

start_viewer
shot restarted
check "after a kill the viewer starts from the shader file" same_picture start restarted
log=$(read_log)
check "the log names the file with the unsaved edits (got: $log)" grep -qF 'pixelShader.glsl.unsaved' <<<"$log"
check "the log says how to take them back" grep -q 'Reload' <<<"$log"
check "the source box holds the shader file's text" bash -c '! grep -q "first run" <<<"$1"' _ "$(read_source)"

focus_source_start
type_text '// second run
'
settle
check "a new edit moves the earlier run's copy aside" grep -q '^// first run' "$(kept .1)"
check "the kept copy now holds this run's edits only" \
    bash -c 'grep -q "^// second run" "$1" && ! grep -q "first run" "$1"' _ "$(kept)"
log=$(read_log)
check "the log says where the earlier edits went (got: $log)" grep -qF 'pixelShader.glsl.unsaved.1' <<<"$log"
check "the compile result still follows the notices" grep -q 'Compilation succeeded!$' <<<"$log"
click_save
settle
check "Save removes the kept copy" [ ! -e "$(kept)" ]
check "the earlier run's copy stays" [ -e "$(kept .1)" ]
focus_source_start
type_text 'x'
settle
check "an edit after Save is kept" [ -e "$(kept)" ]
xdo key --clearmodifiers BackSpace
settle
check "typing back to the file's text removes the copy" [ ! -e "$(kept)" ]

# A picture that follows the clock (a cycle of 4 s): two screenshots a moment apart differ while
# the viewer draws.
focus_source_start
type_text '#define TINT fract(totalTime * 0.25)
'
settle
shot clock1
sleep 0.5
shot clock2
check "a picture that follows the clock changes from one moment to the next" different_picture clock1 clock2
focus_source_start
xdo key --clearmodifiers shift+Down Delete
settle

# The same picture behind a loop that never ends, complete only with its last keystroke: the
# viewer hangs in the frame that draws it, and its text is on disk before that frame. The picture
# stands still, so the viewer killed is one that really stopped drawing.
focus_source_start
type_text 'float spin(float x) { for (;;) { x = x * 1.5 + 1.0; if (x < -1.0) break; } return x; }
#define TINT fract(totalTime * 0.25) * step(0.0, spin(totalTime))'
check "the text that hangs the viewer is kept" wait_for_text "$(kept)" '#define TINT fract(totalTime * 0.25) * step'
settle
shot hung1
sleep 1
shot hung2
check "the viewer stopped drawing: the picture that follows the clock stands still" same_picture hung1 hung2
settle 0.5
kill_viewer
start_viewer
log=$(read_log)
check "after killing the hung viewer the log names the kept edits (got: $log)" \
    grep -qF 'pixelShader.glsl.unsaved' <<<"$log"
check "the kept copy holds the loop ($(head -c 300 "$(kept)"))" grep -qF '#define TINT fract(totalTime * 0.25) * step(0.0, spin(totalTime))' "$(kept)"
# The user takes the kept text back by hand and deletes the copy before typing: there is nothing
# to move aside, and this run's edits are kept as always.
rm "$(kept)"
focus_source_start
type_text '// taken back
'
settle
check "with the earlier copy deleted, an edit is still kept" grep -q '^// taken back' "$(kept)"
log=$(read_log)
check "and the log does not say the edits are not kept (got: $log)" bash -c '! grep -q "not being kept" <<<"$1"' _ "$log"
check "nothing was moved aside in its place" [ ! -e "$(kept .2)" ]
close_main
wait_exit
check "the viewer started after a hang ends normally (status $EXIT_STATUS)" [ "$EXIT_STATUS" = 0 ]

# A folder where the copy should be: editing goes on, and the log says so once.
new_folder
mkdir "$(kept)"
start_viewer
focus_source_start
type_text '// one
'
settle
log=$(read_log)
check "a copy that cannot be written is reported (got: $log)" grep -q '^Your edits are not being kept' <<<"$log"
check "the compile result follows that notice" grep -q 'Compilation succeeded!$' <<<"$log"
focus_source_start
type_text '// two
'
settle
log=$(read_log)
check "it is said once, above the newest result (got: $log)" \
    bash -c '[ "$(grep -c "not being kept" <<<"$1")" = 1 ] && [ "$(tail -n 1 <<<"$1")" = "Compilation succeeded!" ]' _ "$log"
check "editing goes on" running
rmdir "$(kept)"
focus_source_start
type_text '// three
'
settle
check "once the copy can be written again it is kept" grep -q '^// three' "$(kept)"
log=$(read_log)
check "and the notice goes (got: $log)" [ "$log" = "Compilation succeeded!" ]
finish
