#!/usr/bin/env bash
# Rendering to files where there is no X server at all: a still, a sequence split over two jobs
# of GNU Parallel that equals one run byte for byte, a film checked with ffprobe, stills drawn in
# small tiles against the same stills drawn at once (in both forms of text), a text that does not
# build (status 1, the compiler's message, no file), and the progress line on a terminal but not
# in a pipe.
source "$(dirname "$0")/lib.sh"
unset DISPLAY

new_folder
cd "$FOLDER" || exit 1
render() { "$MORVANE" --render "$@"; }

render still.png >out.txt 2>err.txt
status=$?
check "a still renders with no X server (status $status: $(head -c 300 err.txt))" [ "$status" = 0 ]
check "it is an 800 x 600 PNG ($(identify still.png 2>&1))" \
    bash -c '[ "$(identify -format "%m %w %h" still.png)" = "PNG 800 600" ]'
check "it shows the scene, not a clear colour ($(convert still.png -format %k info:) colours)" \
    [ "$(convert still.png -format %k info:)" -gt 100 ]
check "the only line on standard error is the summary (not a terminal)" \
    bash -c '[ "$(wc -l <err.txt)" = 1 ] && grep -q "^Rendered 1 frame to still.png in " err.txt && ! grep -q $'"'"'\r'"'"' err.txt'
render wide.png --size=1000x300 glsl/pixelShader.glsl 2>/dev/null
check "--size gives the picture that size" bash -c '[ "$(identify -format "%w %h" wide.png)" = "1000 300" ]'

# The same frames, once in one run and once as two chunks run side by side by GNU Parallel.
mkdir one two
render 'one/f%03d.png' --frames 0-11 --fps 24 2>/dev/null
parallel -j 2 "$MORVANE" --render 'two/f%03d.png' --frames {} --fps 24 ::: 0-5 6-11 2>/dev/null
status=$?
check "GNU Parallel ran both chunks (status $status)" [ "$status" = 0 ]
check "twelve frames, named from their numbers" bash -c '[ "$(ls one | tr "\n" " ")" = "$(printf "f%03d.png " $(seq 0 11))" ]'
check "the chunks' files equal the one run's, byte for byte" diff -r one two

render clip.mp4 --frames 0-23 --fps 24 >/dev/null 2>err.txt
status=$?
check "a film renders (status $status: $(head -c 300 err.txt))" [ "$status" = 0 ]
probe=$(ffprobe -v error -count_frames -select_streams v:0 \
    -show_entries stream=codec_name,width,height,nb_read_frames,r_frame_rate -of csv=p=0 clip.mp4 2>&1)
check "ffprobe finds 24 frames of 800 x 600 H.264 at 24 per second (got: $probe)" [ "$probe" = "h264,800,600,24/1,24" ]
check "no temporary file is left beside it" [ -z "$(ls -A | grep rendering)" ]

# Without ffmpeg a film is refused before anything is drawn.
(PATH=/nonexistent; "$MORVANE" --render nothing.mp4 --frames 0-9 2>err.txt)
status=$?
check "without ffmpeg a film is a wrong use (status $status: $(head -c 200 err.txt))" \
    bash -c "[ $status = 2 ] && grep -q 'needs the ffmpeg program' err.txt && [ -z \"\$(ls -A | grep nothing)\" ]"

# Tiles forced small: the picture is the same as drawn at once within one step of rounding, but
# for a few rays that graze the sphere's outline (a tile's screen2World rounds differently).
MORVANE_RENDER_TILE=64 render tiled.png 2>/dev/null
beyond=$(timeout 30 compare -metric AE -fuzz 0.45% tiled.png still.png null: 2>&1)
check "a still drawn in 64-pixel tiles is the still drawn at once within 1/255, but for $beyond of 480000 pixels" \
    [ "$beyond" -le 48 ]
check "the tiled still is whole" bash -c '[ "$(identify -format "%w %h" tiled.png)" = "800 600" ]'

# A text in Shadertoy's form: drawn in tiles it is exactly the picture drawn at once (each tile's
# fragCoord is moved to its place), and iResolution follows the size.
example=$(cd "$(dirname "$0")/../../examples/shadertoy" && pwd)
render toy.png "$example" 2>/dev/null
MORVANE_RENDER_TILE=64 render toy-tiled.png "$example" 2>/dev/null
check "a text in Shadertoy's form renders, and in 64-pixel tiles exactly the same" \
    bash -c '[ -s toy.png ] && [ "$(compare -metric AE toy.png toy-tiled.png null: 2>&1)" = 0 ]'

# A text that does not build: its message, status 1, and no file at all.
printf 'void main() { broken }\n' >glsl/pixelShader.glsl
render broken.png 2>err.txt
status=$?
check "a broken text ends with status 1 (got $status)" [ "$status" = 1 ]
check "the compiler's message is on standard error ($(head -c 200 err.txt))" grep -q 'error' err.txt
check "no file is written, not even a partial one" bash -c '[ -z "$(ls -A | grep -e broken -e writing)" ]'
cp "$E2E_SCENE/pixelShader.glsl" glsl/

# Progress: a line rewritten in place on a terminal (script gives the render one).
mkdir three
timeout 120 script -qec "'$MORVANE' --render 'three/f%d.png' --frames 0-29 --fps 30" /dev/null >pty.txt 2>&1 </dev/null
check "on a terminal the progress line counts the frames ($(tr '\r' '|' <pty.txt | head -c 300))" \
    bash -c 'tr "\r" "\n" <pty.txt | grep -q "^Frame 30 of 30, [0-9.]* frames/s"'
finish
