#!/usr/bin/env bash
# Save and Reload: CR LF on disk, a file changed on disk brought back into the editor and the
# picture, a file holding a NUL byte refused, a save that cannot be written reported while the program goes on, and a pixel shader
# that begins with a UTF-8 byte-order mark.
source "$(dirname "$0")/lib.sh"

new_folder
start_viewer
shot start

focus_source_start
type_text '// saved
'
settle
click_save
settle
saved=$(cat "$FOLDER/glsl/pixelShader.glsl")
check "Save writes the edited text" grep -q '^// saved' <<<"$saved"
check "Save writes CR LF line ends" crlf_lines "$FOLDER/glsl/pixelShader.glsl"

# An unsaved edit, so that the change on disk waits for Reload instead of being followed at once.
focus_source_start
type_text '// unsaved
'
settle
sed 's/#define TINT 0.0/#define TINT 1.0/' "$E2E_SCENE/pixelShader.glsl" | sed 's/$/\r/' >"$FOLDER/glsl/pixelShader.glsl"
settle
check "a change on disk under unsaved edits waits for Reload" grep -q '^// unsaved' <<<"$(read_source)"
click_reload
settle
shot reloaded
check "Reload brings the changed file into the picture" different_picture start reloaded
source_text=$(read_source)
check "Reload brings the changed file into the editor" grep -q '#define TINT 1.0' <<<"$source_text"
check "the reloaded text has no saved marker" bash -c '! grep -q "// saved" <<<"$1"' _ "$source_text"
check "Reload replaces the unsaved edit" bash -c '! grep -q "// unsaved" <<<"$1"' _ "$source_text"

# A NUL byte written into the file from outside: Reload refuses it, naming the line, and the editor
# keeps its text, so a Save cannot cut the file short at the NUL.
before_nul=$(read_source)
cp "$FOLDER/glsl/pixelShader.glsl" "$E2E_WORK/reloaded.glsl"
printf '// a NUL here:\0 then more\r\n// LAST LINE\r\n' >>"$FOLDER/glsl/pixelShader.glsl"
nul_line=$(( $(wc -l <"$E2E_WORK/reloaded.glsl") + 1 ))
click_reload
settle
log=$(read_log)
check "Reload of a file with a NUL byte is refused (got: $log)" grep -q "^File couldn't be loaded.$" <<<"$log"
check "the log names the file and the NUL's line" grep -q "pixelShader.glsl holds a NUL byte on line $nul_line," <<<"$log"
check "the editor keeps its text" [ "$(read_source)" = "$before_nul" ]
cp "$E2E_WORK/reloaded.glsl" "$FOLDER/glsl/pixelShader.glsl"

cp "$FOLDER/glsl/pixelShader.glsl" "$E2E_WORK/before.glsl"
rm "$FOLDER/glsl/pixelShader.glsl"
mkdir "$FOLDER/glsl/pixelShader.glsl"
focus_source_start
type_text '// kept
'
settle
click_save
settle
log=$(read_log)
check "a failed save is reported in the log (got: $log)" grep -q "^File couldn't be saved." <<<"$log"
check "the log gives the reason on the next line" [ "$(wc -l <<<"$log")" -ge 2 ]
check "the program goes on after a failed save" running
source_text=$(read_source)
check "the editor keeps its text after a failed save" grep -q '^// kept' <<<"$source_text"
check "the folder in the file's place is untouched" [ -d "$FOLDER/glsl/pixelShader.glsl" ]

# A pixel shader saved with a UTF-8 byte-order mark, as editors on Windows often do: the program
# starts on it and draws it, the editor does not show the mark, and Save keeps it in the file.
close_main
wait_exit
new_folder
{ printf '\xEF\xBB\xBF'; sed 's/$/\r/' "$E2E_SCENE/pixelShader.glsl"; } >"$FOLDER/glsl/pixelShader.glsl"
start_viewer
shot marked
check "a pixel shader that begins with a byte-order mark starts the program" running
check "it draws the same picture as without the mark" same_picture start marked
source_text=$(read_source)
check "the editor does not show the mark" [ "$(head -c 2 <<<"$source_text")" = "//" ]
focus_source_start
type_text '// marked'
settle
click_save
settle
check "Save keeps the mark before the saved text" \
    cmp -s -n 12 "$FOLDER/glsl/pixelShader.glsl" <(printf '\xEF\xBB\xBF// marked')
finish
