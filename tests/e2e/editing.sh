#!/usr/bin/env bash
# Live editing in the source box: a valid change alters the picture and says so, a syntax error
# keeps the picture and shows the compiler's log, and deleting everything ends nothing.
source "$(dirname "$0")/lib.sh"

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

click_in_dialog 180 120
xdo key --clearmodifiers ctrl+a Delete
settle
check "deleting all text does not end the program" running
shot emptied
check "the picture stays after the text is deleted" same_picture tinted emptied
check "the source box is empty" [ -z "$(read_source)" ]
finish
