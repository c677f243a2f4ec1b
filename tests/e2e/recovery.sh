#!/usr/bin/env bash
# Unsaved edits survive the viewer's end: the editor's text is kept beside the shader file while it
# differs from the file's, before it is compiled, so a viewer killed outright (after an edit, or
# hung in a frame by a loop that never ends) loses nothing; the next start says where the edits
# are and never writes over them, and keeps this run's edits once the user deleted them; Save, or
# typing back to the file's text, removes the copy; a copy that cannot be written is reported
# once while editing goes on; two viewers on one folder each keep their own edits, the second in a
# copy of its own that it names; and a save's temporary file that a killed viewer left goes at the
# next start, while one of a viewer still running stays.
source "$(dirname "$0")/lib.sh"

kept() { echo "$FOLDER/glsl/pixelShader.glsl.unsaved${1:-}"; }
kill_viewer() {
    kill -9 "$MORVANE_PID"
    wait "$MORVANE_PID" 2>/dev/null
    MORVANE_PID=
}
# The window ids whose name matches $1, one a line, sorted.
window_ids() { xdo search --onlyvisible --name "$1" 2>/dev/null | sort; }
# Starts another viewer in $FOLDER while one runs there, and sets MORVANE_PID, MAIN and DLG to
# its windows: those that were not there before it started.
start_another_viewer() {
    local mains dialogs
    mains=$(window_ids '^Morvane - ')
    dialogs=$(window_ids '^Settings$')
    (cd "$FOLDER" && exec "$MORVANE" >"$FOLDER/stdout-2.txt" 2>"$FOLDER/stderr-2.txt") &
    MORVANE_PID=$!
    MAIN=
    DLG=
    for _ in $(seq 300); do
        MAIN=$(comm -13 <(echo "$mains") <(window_ids '^Morvane - ') | head -n 1)
        DLG=$(comm -13 <(echo "$dialogs") <(window_ids '^Settings$') | head -n 1)
        [ -n "$MAIN" ] && [ -n "$DLG" ] && break
        sleep 0.1
    done
    if [ -z "$MAIN" ] || [ -z "$DLG" ]; then
        fail "the second viewer showed its two windows (stderr: $(cat "$FOLDER/stderr-2.txt"))"
        kill -9 "$MORVANE_PID" 2>/dev/null
        finish
    fi
    settle 3
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

# This viewer is the one that hangs below, and the user kills it: its own restart after a frame
# that never ends is left for later than the test takes.
VIEWER_ENV=(MORVANE_STALL_SECONDS=600)
start_viewer
VIEWER_ENV=()
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
log=$(read_log)
check "and the log drops the moved-aside notice at once (got: $log)" \
    bash -c '! grep -qF "pixelShader.glsl.unsaved.1" <<<"$1" && grep -q "Compilation succeeded!$" <<<"$1"' _ "$log"
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
# stands still, so the viewer killed is one that really stopped drawing. (Mesa's software renderer
# cuts a loop after 65535 turns, so each turn is made long enough that the frame still takes hours.)
focus_source_start
type_text 'float spin(float x) { for (;;) { for (;;) { x = sin(sin(sin(sin(sin(sin(sin(sin(x * 1.5 + 1.0)))))))) + cos(cos(cos(cos(cos(cos(cos(cos(x)))))))); if (x < -10.0) break; } if (x < -10.0) break; } return x; }
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
close_main
wait_exit

# A save's temporary file left by a viewer killed mid-save (its process is gone) goes at start;
# one whose viewer still runs stays.
new_folder
sh -c 'exit 0' &
gone=$!
wait "$gone"
sleep 600 &
alive=$!
printf 'cut short\r\n' >"$FOLDER/glsl/.pixelShader.glsl.saving-$gone-Ab3xYz"
printf 'being saved\r\n' >"$FOLDER/glsl/.pixelShader.glsl.saving-$alive-Qw7eRt"
start_viewer
check "a save's temporary file whose process is gone is removed at start" \
    [ ! -e "$FOLDER/glsl/.pixelShader.glsl.saving-$gone-Ab3xYz" ]
check "one whose process runs stays" [ -e "$FOLDER/glsl/.pixelShader.glsl.saving-$alive-Qw7eRt" ]
kill "$alive"
rm -f "$FOLDER/glsl/.pixelShader.glsl.saving-$alive-Qw7eRt"

# Two viewers on one folder, as the launcher starts them: the first keeps its edits in the usual
# copy; the second neither takes that live copy for an earlier run's nor writes over it, keeps
# its own edits in a copy of its own and says where.
focus_source_start
type_text '// viewer one
'
settle
check "the first viewer keeps its edits in the usual copy" grep -q '^// viewer one' "$(kept)"
cp "$(kept)" "$E2E_WORK/first-copy"
first_pid=$MORVANE_PID first_main=$MAIN first_dialog=$DLG
start_another_viewer
second_pid=$MORVANE_PID
log=$(read_log)
check "the second viewer says another one is open and where its edits go (got: $log)" \
    bash -c 'grep -q "another Morvane" <<<"$1" && grep -qF "pixelShader.glsl.unsaved-2." <<<"$1"' _ "$log"
check "it does not take the first one's copy for an earlier run's" bash -c '! grep -q "earlier run" <<<"$1"' _ "$log"
focus_source_start
type_text '// viewer two
'
settle
check "the second viewer's edits are kept in its own copy" grep -q '^// viewer two' "$(kept -2)"
check "the first viewer's copy is untouched" cmp -s "$(kept)" "$E2E_WORK/first-copy"
check "nothing was moved aside" [ ! -e "$(kept .1)" ]
log=$(read_log)
check "the second viewer's notice stands above its compile result (got: $log)" \
    bash -c 'grep -q "another Morvane" <<<"$1" && grep -q "Compilation succeeded!$" <<<"$1"' _ "$log"
MORVANE_PID=$first_pid MAIN=$first_main DLG=$first_dialog
focus_source_start
type_text '// one again
'
settle
check "the first viewer goes on keeping its edits in the usual copy" grep -q '^// one again' "$(kept)"
check "and the second one's copy is untouched" \
    bash -c 'grep -q "^// viewer two" "$1" && ! grep -q "one again" "$1"' _ "$(kept -2)"
# Killed, both release their copies: the next viewer owns the usual one again, and finds there the
# first one's edits as an earlier run's.
kill -9 "$second_pid"
wait "$second_pid" 2>/dev/null
kill_viewer
start_viewer
log=$(read_log)
check "after both are killed the next viewer owns the usual copy and names it (got: $log)" \
    bash -c 'grep -qF "pixelShader.glsl.unsaved," <<<"$1" && ! grep -q "another Morvane" <<<"$1"' _ "$log"
check "and names the copy the second one left" grep -qF 'its edits are kept in pixelShader.glsl.unsaved-2.' <<<"$log"
close_main
wait_exit
finish
