#!/usr/bin/env bash
# Following the pixel shader's file while another program changes it: with no unsaved edits, a
# write in place, a new file renamed over it (as VS Code saves), the old file renamed away and a
# new one written (as Vim saves) and a slow burst of writes each come into the editor and the
# picture, and the log says so; with unsaved edits, nothing the user typed is replaced and the log
# says what Reload and Save do; a file deleted leaves the editor's text, which Save writes back; a
# file made again is taken; and what Save writes is not taken for a change from outside.
source "$(dirname "$0")/lib.sh"

shader_with_tint() { sed "s/#define TINT 0.0/#define TINT $1/" "$E2E_SCENE/pixelShader.glsl"; }
reloaded_note='^Note: pixelShader.glsl changed on disk and was reloaded.$'
edits_note='^Note: pixelShader.glsl changed on disk, and the editor holds unsaved edits'
gone_note='^Note: pixelShader.glsl was deleted or moved away. The editor keeps its text, and Save writes it back.$'

new_folder
file=$FOLDER/glsl/pixelShader.glsl
start_viewer
shot start

# --- No unsaved edits: every way of saving is taken -----------------------------------------------
shader_with_tint 1.0 >"$file"
settle
shot in_place
log=$(read_log)
check "a write in place changes the picture" different_picture start in_place
check "a write in place comes into the editor" grep -q '#define TINT 1.0' <<<"$(read_source)"
check "the log says the file was reloaded, above the compile result (got: $log)" \
    grep -A1 -q "$reloaded_note" <<<"$log"
check "the compile result follows the note" [ "$(grep -A1 "$reloaded_note" <<<"$log" | tail -1)" = 'Compilation succeeded!' ]

# A new file written beside it and renamed over it.
shader_with_tint 0.0 >"$FOLDER/glsl/.pixelShader.glsl.tmp"
mv "$FOLDER/glsl/.pixelShader.glsl.tmp" "$file"
settle
shot renamed_over
check "a new file renamed over it brings the picture back" same_picture start renamed_over
check "a new file renamed over it comes into the editor" grep -q '#define TINT 0.0' <<<"$(read_source)"

# The old file renamed away, a new one written, the old one removed.
mv "$file" "$file~"
shader_with_tint 1.0 >"$file"
rm "$file~"
settle
shot renamed_away
check "a new file written after the old one was renamed away is taken" same_picture in_place renamed_away
log=$(read_log)
check "no notice of a missing file stays after such a save (got: $log)" bash -c '! grep -q "deleted or moved" <<<"$1"' _ "$log"

# A burst: the file written in twenty pieces 20 ms apart; the editor ends with all of it.
: >"$file"
for piece in $(seq 20); do
    echo "// piece $piece" >>"$file"
    sleep 0.02
done
shader_with_tint 0.0 >>"$file"
settle
source_text=$(read_source)
check "after a burst of writes the editor holds the whole file" \
    [ "$(grep -c '^// piece' <<<"$source_text")" = 20 ]
check "and the last piece of the burst" grep -q '#define TINT 0.0' <<<"$source_text"
shot burst
check "and the picture is the burst's text" same_picture start burst
check "following the file keeps no copy of unsaved edits" [ ! -e "$file.unsaved" ]

# --- Unsaved edits: nothing typed is replaced ------------------------------------------------------
focus_source_start
type_text '// mine
'
settle
shot typed
shader_with_tint 1.0 >"$file"
settle
shot edited_changed
source_text=$(read_source)
log=$(read_log)
check "with unsaved edits, the editor keeps them" grep -q '^// mine' <<<"$source_text"
check "and does not take the file's text" grep -q '#define TINT 0.0' <<<"$source_text"
check "and the picture stays the editor's" same_picture typed edited_changed
check "the log says the file changed and what Reload and Save do (got: $log)" grep -q "$edits_note" <<<"$log"
check "the notice names both buttons" grep -q "Reload takes the file's text in place of the editor's; Save keeps the editor's text, writing it over the file." <<<"$log"
check "the other program's text is left in the file" grep -q '#define TINT 1.0' "$file"

# Save keeps the editor's text; what it wrote is no change from outside.
click_save
settle 2
log=$(read_log)
check "Save writes the editor's text over the file" grep -q '^// mine' "$file"
check "Save ends the notice (got: $log)" bash -c '! grep -q "changed on disk" <<<"$1"' _ "$log"
check "the editor keeps its text after Save" grep -q '^// mine' <<<"$(read_source)"
shot saved
check "and the picture is still the editor's" same_picture typed saved

# --- Deleted, then made again -----------------------------------------------------------------------
rm "$file"
settle
log=$(read_log)
check "a deleted file is noticed (got: $log)" grep -q "$gone_note" <<<"$log"
check "the editor keeps its text when the file is deleted" grep -q '^// mine' <<<"$(read_source)"
click_save
settle
check "Save writes the editor's text back" grep -q '^// mine' "$file"
check "and ends the notice" bash -c '! grep -q "deleted or moved" <<<"$1"' _ "$(read_log)"

rm "$file"
settle
shader_with_tint 1.0 | sed 's/$/\r/' >"$file"
settle
shot made_again
log=$(read_log)
check "a file made again is taken like any change" grep -q '#define TINT 1.0' <<<"$(read_source)"
check "its picture shows" same_picture in_place made_again
check "the log says it was reloaded and no longer that it is gone (got: $log)" \
    bash -c 'grep -q "$2" <<<"$1" && ! grep -q "deleted or moved" <<<"$1"' _ "$log" "$reloaded_note"

# --- Unsaved edits, the file changed, then Reload or a deletion -------------------------------------
focus_source_start
type_text '// second
'
settle
shader_with_tint 0.0 >"$FOLDER/glsl/.pixelShader.glsl.tmp"
mv "$FOLDER/glsl/.pixelShader.glsl.tmp" "$file"
settle
check "a file renamed over the edited one is only noticed" grep -q "$edits_note" <<<"$(read_log)"
check "the typed line is still there" grep -q '^// second' <<<"$(read_source)"
click_reload
settle
shot reloaded
check "Reload then takes the file's text" bash -c '! grep -q "^// second" <<<"$1"' _ "$(read_source)"
check "and its picture" same_picture start reloaded
check "and the notice ends" bash -c '! grep -q "changed on disk, and" <<<"$1"' _ "$(read_log)"

focus_source_start
type_text '// third
'
settle
rm "$file"
settle
check "a file deleted under unsaved edits is noticed" grep -q "$gone_note" <<<"$(read_log)"
check "the unsaved edits stay in the editor" grep -q '^// third' <<<"$(read_source)"
click_save
settle
check "Save writes them back" grep -q '^// third' "$file"
check "with CR LF line ends" crlf_lines "$file"
check "the program goes on" running
finish
