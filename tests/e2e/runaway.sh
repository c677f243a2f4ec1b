#!/usr/bin/env bash
# A runaway shader costs seconds: an edit whose frame never ends makes the viewer start itself
# again from the shader file, its windows where they were, the log saying why and where the edit
# is kept; a slow but steady text is left alone; and a shader file that itself stops the first
# frame ends the viewer with one sentence naming the file, status 1, without a loop of restarts,
# and so does one whose own text stops a later frame, after one more start.
# The times from the stop to the picture back are printed.
source "$(dirname "$0")/lib.sh"

kept() { echo "$FOLDER/glsl/pixelShader.glsl.unsaved"; }
now() { date +%s.%N; }
elapsed() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", b - a }'; }
visible_mains() { xdo search --onlyvisible --name '^Morvane - ' 2>/dev/null | grep -c .; }
# X gives a new client's windows the ids an ended one had, so the old main window is marked
# with a property of the test's own: a main window without it is a new one.
mark_window() { timeout 10 xprop -id "$1" -f _MORVANE_E2E_OLD 8s -set _MORVANE_E2E_OLD yes 2>/dev/null; }
marked() { timeout 10 xprop -id "$1" _MORVANE_E2E_OLD 2>/dev/null | grep -q '= "yes"'; }
# A loop that never ends. Mesa's software renderer cuts a pixel's loops after 65535 turns, so each
# turn is made long (sixteen sines and cosines): a frame still takes far longer than any limit the
# test sets, whatever else the machine is doing.
RUNAWAY='float spin(float x) { for (;;) { for (;;) { x = sin(sin(sin(sin(sin(sin(sin(sin(x * 1.5 + 1.0)))))))) + cos(cos(cos(cos(cos(cos(cos(cos(x)))))))); if (x < -10.0) break; } if (x < -10.0) break; } return x; }
#define TINT spin(totalTime)'

# --- An edit that never ends its frame, with the stop set to 3 s --------------------------------
VIEWER_ENV=(MORVANE_STALL_SECONDS=3)
new_folder
start_viewer
# Somewhere other than where the viewer puts them by itself, so that "where they were" shows.
xdo windowmove "$DLG" 1500 400
xdo windowmove "$MAIN" 200 150
settle 2.5
shot start
main_before=$(frame_rect "$MAIN")
dialog_before=$(frame_rect "$DLG")
old_pid=$MORVANE_PID
note "before: main $main_before, dialog $dialog_before"

for round in 1 2; do
    mark_window "$MAIN"
    old_main=$MAIN
    focus_source_start
    type_text "$RUNAWAY"
    # The viewer takes one message a frame, so it reads the last key a little after xdotool sent
    # it: the picture stops when the complete text is kept, just before it is compiled and drawn.
    stop=
    for _ in $(seq 400); do
        if grep -q '^#define TINT spin(totalTime)' "$(kept)" 2>/dev/null; then
            stop=$(now)
            break
        fi
        sleep 0.05
    done
    check "round $round: the text that stops the picture is kept before it is drawn" [ -n "$stop" ]
    [ -n "$stop" ] || finish
    # The old windows go when the watch restarts the viewer, the limit after the frame that
    # never ends began (the viewer still had queued keys to read when the text was kept); then
    # the picture back: a new main window whose picture is the file's.
    gone=
    back=
    for _ in $(seq 1200); do
        found=$(xdo search --onlyvisible --name '^Morvane - ' 2>/dev/null | head -n 1)
        if [ -z "$gone" ] && ! marked "$old_main"; then
            gone=$(now)
        fi
        if [ -n "$found" ] && ! marked "$found"; then
            MAIN=$found
            if shot "back$round" && [ "$(difference start "back$round")" = 0 ]; then
                back=$(now)
                break
            fi
        fi
        sleep 0.05
    done
    check "round $round: the viewer started itself again and drew the file's picture" [ -n "$back" ]
    [ -n "$back" ] || finish
    note "round $round: from the edit kept to the old windows gone: $(elapsed "$stop" "$gone") s; from there to" \
        "the picture back: $(elapsed "$gone" "$back") s; so from the stop to the picture back: 3 s + that"
    check "round $round: the same process goes on (pid $MORVANE_PID)" running
    wait_for_windows "$FOLDER/stderr.txt"
    check "round $round: the old windows are gone" [ "$(visible_mains)" = 1 ]
    main_after=$(frame_rect "$MAIN")
    dialog_after=$(frame_rect "$DLG")
    check "round $round: the main window is where it was ($main_before, now $main_after)" \
        [ "$main_after" = "$main_before" ]
    check "round $round: the Settings window is where it was ($dialog_before, now $dialog_after)" \
        [ "$dialog_after" = "$dialog_before" ]
    log=$(read_log)
    check "round $round: the log says the last edit stopped the picture and Morvane restarted (got: $log)" \
        grep -qF 'The last edit stopped the picture for 3 s (a loop that never ends?), so Morvane restarted from pixelShader.glsl' <<<"$log"
    check "round $round: the log names the kept edit" grep -qF 'the edit is kept in pixelShader.glsl.unsaved.' <<<"$log"
    check "round $round: the source box holds the file's text, not the kept one" \
        bash -c '! grep -q "spin" <<<"$1"' _ "$(read_source)"
    check "round $round: the kept copy holds the edit that stopped the picture" \
        grep -q '^#define TINT spin(totalTime)' "$(kept)"
    # The second round stops the picture of a viewer that was itself restarted: the first round's
    # kept copy is moved aside by the new edit, and the restart works the same.
done
check "the first round's edit was moved aside, not lost" grep -q '^#define TINT spin(totalTime)' "$(kept).1"
check "the viewer kept one process id through the restarts" [ "$MORVANE_PID" = "$old_pid" ]
close_main
wait_exit
check "the restarted viewer ends normally (status $EXIT_STATUS)" [ "$EXIT_STATUS" = 0 ]

# --- A slow but steady text: frames of a few seconds, with the usual 10 s -----------------------
# 9000 turns a pixel take about 3 s a frame on llvmpipe here (2 to 5 s with other work running).
VIEWER_ENV=()
new_folder
start_viewer
slow_main=$MAIN
focus_source_start
type_text 'float slow(float x) { for (int i = 0; i < 9000; i++) { x = fract(x * 1.37 + 0.1); } return x; }
#define TINT slow(totalTime)'
settle 4
shot slow1
sleep 20
shot slow2
check "the slow text is still drawn: its picture moves on" different_picture slow1 slow2
check "the slow text does not restart the viewer" [ "$(xdo search --onlyvisible --name '^Morvane - ' | head -n 1)" = "$slow_main" ]
log=$(read_log)
check "and the log says nothing of a restart (got: $log)" bash -c '! grep -q "restarted" <<<"$1"' _ "$log"
close_main
wait_exit
check "the slow viewer ends normally (status $EXIT_STATUS)" [ "$EXIT_STATUS" = 0 ]

# Starts the viewer (limit 3 s) on a new folder whose pixel shader is the given text before the
# test scene's, waits up to $2 tenths of a second for it to end, and sets `sentence` to what it
# wrote on standard error apart from the libraries' own lines.
run_file_until_end() {  # text-before-the-scene tenths what
    new_folder
    { printf '%s\n' "$1"; cat "$E2E_SCENE/pixelShader.glsl"; } >"$FOLDER/glsl/pixelShader.glsl"
    local started
    started=$(now)
    (cd "$FOLDER" && exec env MORVANE_STALL_SECONDS=3 "$MORVANE" 2>"$FOLDER/stderr.txt") &
    MORVANE_PID=$!
    for _ in $(seq "$2"); do
        running || break
        sleep 0.1
    done
    wait_exit
    note "$3 ended the viewer after $(elapsed "$started" "$(now)") s"
    sentence=$(grep -v -E '^(MESA|Mesa|libGL|\(|Gtk|Gdk|GLib|Fontconfig)' "$FOLDER/stderr.txt")
}

# --- A shader file that itself stops the first frame ----------------------------------------------
run_file_until_end "$RUNAWAY" 300 "the file that stops its first frame"
check "a file that stops the first frame ends the viewer with status 1 (status $EXIT_STATUS)" [ "$EXIT_STATUS" = 1 ]
check "with one sentence that names the file (got: $sentence)" \
    bash -c '[ "$(grep -c . <<<"$1")" = 1 ] && grep -qE "^Morvane stopped: the shader file .*pixelShader\.glsl stops the picture" <<<"$1"' \
    _ "$sentence"
check "and no viewer is left behind" [ "$(visible_mains)" = 0 ]

# --- A shader file whose own text stops a later frame: one more start, then the end ---------------
run_file_until_end "${RUNAWAY%%$'\n'*}"$'\n''#define TINT (totalTime > 2.0 ? spin(totalTime) : 0.0)' 600 \
    "the file that stops a later frame"
check "a file whose own text stops the picture twice ends the viewer with status 1 (status $EXIT_STATUS)" \
    [ "$EXIT_STATUS" = 1 ]
check "with one sentence saying it stopped the picture again after a restart (got: $sentence)" \
    bash -c '[ "$(grep -c . <<<"$1")" = 1 ] && grep -qE "pixelShader\.glsl stopped the picture for 3 s again right after Morvane had restarted from it" <<<"$1"' \
    _ "$sentence"
finish
