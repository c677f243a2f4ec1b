#!/usr/bin/env bash
# Start and end: closing the main window ends the process with status 0; a folder without glsl/
# ends it with status 1 and the reason on standard error; so does a shader that does not build.
source "$(dirname "$0")/lib.sh"

new_folder
start_viewer
shot start
check "the picture is drawn (not the clear colour only)" [ "$(convert "$E2E_WORK/start.png" -format '%k' info:)" -gt 100 ]
close_main
wait_exit
check "closing the main window ends the process with status 0 (got $EXIT_STATUS)" [ "$EXIT_STATUS" = 0 ]

empty=$(mktemp -d "$E2E_WORK/empty-XXXXXX")
(cd "$empty" && "$MORVANE" >"$empty/stdout.txt" 2>"$empty/stderr.txt")
status=$?
check "a missing glsl folder exits with status 1 (got $status)" [ "$status" = 1 ]
check "the message is on standard error" grep -q "File couldn't be loaded." "$empty/stderr.txt"
check "the reason names the vertex shader file" grep -q "vertexShader.glsl" "$empty/stderr.txt"

new_folder
printf 'void main() { broken }\n' >"$FOLDER/glsl/pixelShader.glsl"
(cd "$FOLDER" && "$MORVANE" >/dev/null 2>"$FOLDER/stderr.txt")
status=$?
check "a pixel shader that does not build ends the start with status 1 (got $status)" [ "$status" = 1 ]
check "the compiler's message is on standard error" grep -qi "error" "$FOLDER/stderr.txt"
check "no system error is claimed for it" bash -c "! grep -q '^Error ' '$FOLDER/stderr.txt'"
finish
