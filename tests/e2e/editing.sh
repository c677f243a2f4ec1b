#!/usr/bin/env bash
# Live editing in the source box: a valid change alters the picture and says so, a syntax error
# keeps the picture, shows the compiler's log and marks the line it names (a red sign in the
# gutter, a tinted line, the message in a tooltip on the sign) until the text builds again; a fast
# burst of keys ends with every character in the editor and the final text's result, and Save in
# the middle of one writes it; and deleting everything ends nothing.
source "$(dirname "$0")/lib.sh"

# The text of the tooltip that appears when the pointer rests on a point of the screen: the part
# of the screen around the pointer that changed (GTK centres a tooltip below the pointer), read
# with OCR. Empty when nothing appeared.
tooltip_text_at() {  # screen x y
    local x=$(($1 - 500)) y=$(($2 - 40)) box
    [ "$x" -lt 0 ] && x=0
    [ "$y" -lt 0 ] && y=0
    local area="1000x300+$x+$y"
    timeout 20 import -window root -crop "$area" +repage "$E2E_WORK/before-tip.png" 2>/dev/null
    xdo mousemove "$1" "$2"
    for _ in 1 2 3 4 5 6; do
        sleep 0.5
        timeout 20 import -window root -crop "$area" +repage "$E2E_WORK/tip.png" 2>/dev/null
        box=$(timeout 20 convert "$E2E_WORK/before-tip.png" "$E2E_WORK/tip.png" -compose difference -composite \
            -format '%@' info: 2>/dev/null)
        # A tooltip is a window of its own: a region tens of pixels across, not a blinking cursor.
        if [[ $box =~ ^([0-9]+)x([0-9]+) ]] && [ "${BASH_REMATCH[1]}" -ge 40 ] && [ "${BASH_REMATCH[2]}" -ge 12 ]; then
            sleep 0.3
            timeout 20 import -window root -crop "$area" +repage "$E2E_WORK/tip.png" 2>/dev/null
            timeout 20 convert "$E2E_WORK/tip.png" -crop "$box" +repage -colorspace Gray -scale 300% \
                "$E2E_WORK/tip-text.png"
            timeout 30 tesseract "$E2E_WORK/tip-text.png" stdout 2>/dev/null
            return
        fi
    done
}

new_folder
start_viewer
shot start

focus_source_start
type_text '#define TINT 1.0
'
settle
shot tinted
check "a valid change alters the picture" different_picture start tinted
log=$(read_log)
check "the log says the compilation succeeded (got: $log)" [ "$log" = "Compilation succeeded!" ]
source_text=$(read_source)
check "the source box holds the typed text" grep -q '^#define TINT 1.0' <<<"$source_text"

focus_source_start
type_text 'oops '
settle
shot broken
check "a syntax error keeps the last good picture" same_picture tinted broken
log=$(read_log)
check "the log shows the compiler's message (got: $log)" grep -qi 'error' <<<"$log"

# Reading the log left the focus in the log box, so no text cursor blinks in the source box.
dialog_shot marked
read -r -a marks < <(read_marks marked)
check "the broken first line has an error sign in the gutter and a red tint (got: ${marks[*]})" \
    mark_at_line 1 "${marks[@]}"
read -r dx dy _ < <(client_rect "$DLG")
read -r bx by _ < <(source_box)
tip=$(tooltip_text_at $((dx + bx + (marks[5] + marks[6]) / 2)) $((dy + by + (marks[3] + marks[4]) / 2)))
check "resting on the sign shows the compiler's message (read: $(tr '\n' ' ' <<<"$tip"))" \
    grep -qiE 'syntax|unexpected' <<<"$tip"

# A new line typed above the broken one takes the mark down with it at once, before the text is
# compiled again (that compile marks the broken line anew, and would hide a mark left behind). A
# burst of keys on the new line holds the compile off, each key starting its wait again, while the
# dialog is read; the log box, the same as before the new line, shows that no compile came
# between. Where one came anyway (a frame longer than the wait), the new line is typed again.
same_log() {  # two dialog screenshots
    local x y w h
    read -r x y w h < <(control_rect 7 279 354 64 0 0)
    timeout 20 convert "$E2E_WORK/$1.png" -crop "${w}x${h}+$x+$y" +repage "$E2E_WORK/$1-log.png"
    timeout 20 convert "$E2E_WORK/$2.png" -crop "${w}x${h}+$x+$y" +repage "$E2E_WORK/$2-log.png"
    same_picture "$1-log" "$2-log"
}
added=0
read_uncompiled=
for attempt in 1 2 3; do
    focus_source_start
    dialog_shot "unmoved-$attempt"
    xdo key --clearmodifiers Return Up
    added=$((added + 1))
    timeout 60 xdotool type --delay 40 --clearmodifiers '// typed while the mark is read' &
    burst=$!
    sleep 0.6
    dialog_shot "moving-$attempt"
    wait "$burst"
    if same_log "unmoved-$attempt" "moving-$attempt"; then
        read_uncompiled=$attempt
        break
    fi
    note "a compile came before the dialog was read; typing a new line again"
    settle
done
if [ -n "$read_uncompiled" ]; then
    read -r -a moving < <(read_marks "moving-$read_uncompiled")
    check "the mark moved down with its text as the new line was typed, before any compile (got: ${moving[*]})" \
        mark_at_line $((1 + added)) "${moving[@]}"
else
    note "SKIP: each burst of keys was compiled before the dialog was read, on this machine"
fi
settle
click_in_dialog 180 310
dialog_shot moved
read -r -a moved < <(read_marks moved)
check "once compiled, the mark stays on the broken line (got: ${moved[*]})" mark_at_line $((1 + added)) "${moved[@]}"

# Taking the new lines and the error out again builds, and the mark goes.
focus_source_start
for _ in $(seq "$added"); do
    xdo key --clearmodifiers shift+Down
done
xdo key --clearmodifiers Delete Delete Delete Delete Delete Delete
settle
log=$(read_log)
check "the mended text compiles (got: $log)" [ "$log" = "Compilation succeeded!" ]
dialog_shot mended
read -r -a mended < <(read_marks mended "${marks[2]}")
check "no mark is left once the text builds (got: ${mended[*]})" no_marks "${mended[@]}"

# A fast burst (a key every 40 ms, faster than a compile), through texts that do not build: the
# editor holds every character, and the log, the marks and the picture are the final text's.
focus_source_start
type_text '// burst
#define TINT 0.0
#undef TINT
'
settle
source_text=$(read_source)
check "the editor holds every character of the burst" \
    bash -c 'head -n 4 <<<"$1" | tr -d "\r" | diff -q - <(printf "// burst\n#define TINT 0.0\n#undef TINT\n#define TINT 1.0\n")' \
    _ "$source_text"
log=$(read_log)
check "the log is the final text's (got: $log)" [ "$log" = "Compilation succeeded!" ]
dialog_shot burst
read -r -a burst < <(read_marks burst "${marks[2]}")
check "no mark is left from the texts typed past (got: ${burst[*]})" no_marks "${burst[@]}"
shot burst
check "the picture is the final text's" same_picture tinted burst

# A single key still gives its result.
focus_source_start
xdo key --clearmodifiers x
settle
log=$(read_log)
check "one key that breaks the text is reported (got: $log)" grep -qi 'error' <<<"$log"
focus_source_start
xdo key --clearmodifiers Delete
settle
check "one key that mends it is reported (got: $(read_log))" [ "$(read_log)" = "Compilation succeeded!" ]

# Save in the middle of a burst writes the text typed so far, compiled or not.
focus_source_start
type_text '// saved mid-burst
'
click_save
focus_source_start
type_text '// typed after the save
'
settle
check "Save in a burst writes the burst's text (the file begins: $(head -n 2 "$FOLDER/glsl/pixelShader.glsl" | tr -d '\r' | tr '\n' '|'))" \
    bash -c 'head -n 2 "$1" | tr -d "\r" | diff -q - <(printf "// saved mid-burst\n// burst\n")' \
    _ "$FOLDER/glsl/pixelShader.glsl"
check "the kept copy follows the typing after it" grep -q '^// typed after the save' "$FOLDER/glsl/pixelShader.glsl.unsaved"

click_in_dialog 180 120
xdo key --clearmodifiers ctrl+a Delete
settle
check "deleting all text does not end the program" running
shot emptied
check "the picture stays after the text is deleted" same_picture tinted emptied
check "the source box is empty" [ -z "$(read_source)" ]
finish
