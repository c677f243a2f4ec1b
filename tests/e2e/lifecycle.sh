#!/usr/bin/env bash
# Start and end: closing the main window ends the process with status 0; a folder without glsl/
# ends it with status 1 and the reason on standard error; so does a shader that does not build or
# link, or one holding a NUL byte; an X server that goes away under the viewer ends it with status 1 and one line naming it.
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

# Starts the program in a new folder whose pixel shader is the text given, waits for it to end and
# sets `status`; its standard error is in $FOLDER/stderr.txt.
start_with_pixel_shader() {
    new_folder
    printf '%s' "$1" >"$FOLDER/glsl/pixelShader.glsl"
    (cd "$FOLDER" && "$MORVANE" >/dev/null 2>"$FOLDER/stderr.txt")
    status=$?
}

start_with_pixel_shader $'void main() { broken }\n'
check "a pixel shader that does not build ends the start with status 1 (got $status)" [ "$status" = 1 ]
check "the compiler's message is on standard error" grep -qi "error" "$FOLDER/stderr.txt"
check "no system error is claimed for it" bash -c "! grep -q '^Error ' '$FOLDER/stderr.txt'"

start_with_pixel_shader $'#version 120\nvoid shade() { gl_FragColor = vec4(1.0); }\n'
check "a pixel shader that compiles but does not link ends the start with status 1 (got $status)" [ "$status" = 1 ]
check "the linker's message is on standard error" grep -q "main" "$FOLDER/stderr.txt"

# A NUL byte no edit box can hold: the start ends naming the file and the line, and the file is
# never cut short (a save of the text before the NUL would have been).
new_folder
printf '// a NUL here:\0 then more\n// LAST LINE\n' >>"$FOLDER/glsl/pixelShader.glsl"
cp "$FOLDER/glsl/pixelShader.glsl" "$FOLDER/with-nul.glsl"
nul_line=$(( $(wc -l <"$E2E_SCENE/pixelShader.glsl") + 1 ))
(cd "$FOLDER" && "$MORVANE" >/dev/null 2>"$FOLDER/stderr.txt")
status=$?
check "a pixel shader holding a NUL byte ends the start with status 1 (got $status)" [ "$status" = 1 ]
check "the message names the file and the NUL's line ($(head -c 300 "$FOLDER/stderr.txt"))" \
    bash -c "grep -q \"^File couldn't be loaded.\" '$FOLDER/stderr.txt' &&
             grep -q 'pixelShader.glsl holds a NUL byte on line $nul_line,' '$FOLDER/stderr.txt'"
check "the file is untouched" cmp -s "$FOLDER/glsl/pixelShader.glsl" "$FOLDER/with-nul.glsl"

# The X server ends under a running viewer: a display of this test's own, killed outright
# (-noreset: a server resetting after its last client left would refuse the viewer).
new_folder
Xvfb -displayfd 3 -screen 0 1366x768x24 -nolisten tcp -noreset +extension GLX 3>"$FOLDER/display" \
    >/dev/null 2>&1 &
lost_server=$!
for _ in $(seq 100); do grep -q '^[0-9]' "$FOLDER/display" 2>/dev/null && break; sleep 0.1; done
lost=":$(head -n 1 "$FOLDER/display")"
(cd "$FOLDER" && DISPLAY=$lost exec "$MORVANE" >/dev/null 2>"$FOLDER/stderr.txt") &
MORVANE_PID=$!
for _ in $(seq 150); do
    DISPLAY=$lost xdo search --onlyvisible --name '^Settings$' >/dev/null 2>&1 && break
    sleep 0.1
done
settle
kill -9 "$lost_server"
wait_exit
check "losing the X server ends the viewer with status 1 (got $EXIT_STATUS)" [ "$EXIT_STATUS" = 1 ]
check "one line on standard error names the lost display ($(head -c 300 "$FOLDER/stderr.txt"))" \
    bash -c "[ \$(wc -l <'$FOLDER/stderr.txt') = 1 ] && grep -qF '\"$lost\"' '$FOLDER/stderr.txt'"
finish
