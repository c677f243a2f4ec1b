#!/usr/bin/env bash
# Benchmarks the viewer against the bare GLX program (the frame-rate limit for the same shaders)
# and prints one table: frame rates for a heavy and a trivial pixel shader, the frame rate with
# the frame-time readout (F1) shown and off, host cost per frame, edit-to-picture latency, echo lag
# (key to character on screen) and the frame gaps while typing, the trivial shader written in
# Shadertoy's form against the same in the viewer's own form (CPU time and host instructions per
# frame), rendering to files, start-up time and memory, and what following the pixel shader's
# file costs a frame. It only reports: nothing here fails on a slow figure.
#
# Usage: bench/run.sh            (builds what it needs in build-bench/, runs everything)
# Settings from the environment:
#   MORVANE=path      the viewer to measure (default: build-bench/viewer/morvane, built here)
#   PAIRS=n           alternating viewer/bare runs per shader (default 5, the median is shown)
#   RUN_SECONDS=s     length of one frame-rate run (default 6; the first second is warm-up)
#   EDITS=n           edits typed for the latency figure (default 20)
#   ECHO_KEYS=n       keys typed at each pace for the echo-lag figures (default 20)
#   SKIP=list         any of: fps readout callgrind shadertoy latency echo render startup watch (to
#                     leave a section out)
# Frames are counted from outside by bench/swapcount.c (an LD_PRELOAD library), the same way for
# both programs. Frame rates suffer from any other load on the machine; the CPU time per frame (all
# threads of the program, the renderer's included) suffers much less, so both are shown. Without DISPLAY the script runs itself on a private Xvfb with a window manager.
set -euo pipefail
trap 'echo "bench: stopped by a failing command at line $LINENO" >&2' ERR

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
if [ -z "${DISPLAY:-}" ]; then
    exec "$root/tests/with-display.sh" --wm "$0" "$@"
fi

build=${MORVANE_BENCH_BUILD:-$root/build-bench}
pairs=${PAIRS:-5}
runSeconds=${RUN_SECONDS:-6}
edits=${EDITS:-20}
echoKeys=${ECHO_KEYS:-20}
skip=" ${SKIP:-} "

log() { echo "[bench] $*" >&2; }
skipped() { [[ "$skip" == *" $1 "* ]]; }

# ---- Build -------------------------------------------------------------------------------
mkdir -p "$build"
log "building in $build"
cmake -S "$root" -B "$build" -DMORVANE_BENCH=ON -DMORVANE_TESTS=OFF -DCMAKE_BUILD_TYPE=Release >"$build/bench-configure.log" 2>&1 ||
    { cat "$build/bench-configure.log" >&2; echo "bench: configuring failed" >&2; exit 1; }
cmake --build "$build" -j2 --target bare_glx swapcount echolag >"$build/bench-build.log" 2>&1 ||
    { tail -30 "$build/bench-build.log" >&2; echo "bench: building the bench tools failed" >&2; exit 1; }
bare=$build/bench/bare_glx
preload=$build/bench/libswapcount.so
echolag=$build/bench/echolag
morvane=${MORVANE:-}
if [ -z "$morvane" ]; then
    if cmake --build "$build" -j2 --target morvane >>"$build/bench-build.log" 2>&1; then
        morvane=$build/viewer/morvane
    else
        log "the viewer does not build here (see $build/bench-build.log); only the bare program is measured"
    fi
fi
if [ -n "$morvane" ] && [ ! -x "$morvane" ]; then
    log "no viewer at $morvane; only the bare program is measured"
    morvane=
fi

# ---- Work folders: each holds the glsl/ pair a program reads from its current directory ------
work=$(mktemp -d /tmp/morvane-bench.XXXXXX)
children=()
cleanup() {
    for pid in "${children[@]}"; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT

for folder in heavy trivial shadertoy edit-heavy edit-trivial; do
    mkdir -p "$work/$folder/glsl"
    cp "$root/glsl/vertexShader.glsl" "$work/$folder/glsl/"
done
cp "$root/glsl/pixelShader.glsl" "$work/heavy/glsl/"
cp "$root/bench/trivialPixelShader.glsl" "$work/trivial/glsl/pixelShader.glsl"
cp "$root/bench/trivialShadertoy.glsl" "$work/shadertoy/glsl/pixelShader.glsl"
# For the latency figures, both pixel shaders get their brightness from a function at the very
# end of the text, so that a keystroke near the end of the source box changes the whole picture:
# "0.6" <-> "0.69".
sed -e 's/^void main()$/float Brightness();\n\nvoid main()/' \
    -e 's/gl_FragColor = vec4(colour, 1.0);/gl_FragColor = vec4(colour * Brightness(), 1.0);/' \
    "$root/glsl/pixelShader.glsl" >"$work/edit-heavy/glsl/pixelShader.glsl"
sed -e 's/^void main()$/float Brightness();\n\nvoid main()/' \
    -e 's/gl_FragColor = vec4(0.2 + never, 0.4, 0.6, 1.0);/gl_FragColor = vec4(vec3(0.2 + never, 0.4, 0.6) * Brightness(), 1.0);/' \
    "$work/trivial/glsl/pixelShader.glsl" >"$work/edit-trivial/glsl/pixelShader.glsl"
for shader in heavy trivial; do
    grep -q 'Brightness()' "$work/edit-$shader/glsl/pixelShader.glsl" ||
        log "the $shader pixel shader no longer has the lines the latency edit hooks into"
    printf 'float Brightness() { return 0.6; }\n' >>"$work/edit-$shader/glsl/pixelShader.glsl"
done

cores=$(nproc)
renderer=$(glxinfo -B 2>/dev/null | sed -n 's/^ *OpenGL renderer string: *//p' | sed 's/ (.*//')
case "$renderer" in llvmpipe*) renderer="Mesa $renderer" ;; esac
server=X
pgrep -x Xvfb >/dev/null && server=Xvfb
label="${renderer:-unknown renderer}, $cores cores, $server"

# run_counted DIR LOG PROGRAM [ARGS...] with SWAPCOUNT_* settings already exported by the caller:
# runs the program in DIR under the preload library, at most 120 s.
run_counted() {
    local dir=$1 logFile=$2
    shift 2
    (cd "$dir" && SWAPCOUNT_LOG="$logFile" LD_PRELOAD="$preload" exec timeout 120 "$@") >/dev/null 2>"$logFile.stderr" || true
}

# Frames per second from a swapcount log, leaving out the first second (start-up, first compile).
fps_of() {
    awk '$1 == "frame" { t[n++] = $3 }
         END {
             if (n < 3) { print "nan"; exit }
             start = t[0] + 1e9; i = 0
             while (i < n && t[i] < start) i++
             if (n - i < 2) { print "nan"; exit }
             printf "%.2f\n", (n - 1 - i) / ((t[n - 1] - t[i]) / 1e9)
         }' "$1"
}

median() { sort -g | awk '{ v[n++] = $1 } END { if (n == 0) print "nan"; else if (n % 2) print v[(n - 1) / 2]; else printf "%.2f\n", (v[n / 2 - 1] + v[n / 2]) / 2 }'; }
maximum() { sort -g | tail -1; }

loadAtStart=$(cut -d' ' -f1 /proc/loadavg)

# The viewer's window is 800 x 600 outside, so its drawing area is a little smaller. The bare
# program is given the same drawing area, so that both shade the same number of pixels.
bareSize=800x600
if [ -n "$morvane" ]; then
    (cd "$work/trivial" && exec timeout 60 "$morvane") >/dev/null 2>&1 &
    sizePid=$!
    # Windows come and go while the viewer starts (its window is made again once its pixel
    # format is known), so the search and the query are repeated until they agree.
    for _ in $(seq 100); do
        sleep 0.3
        viewerWindow=$(xdotool search --onlyvisible --name '^Morvane - ' 2>/dev/null | head -1 || true)
        [ -n "$viewerWindow" ] || continue
        size=$( (xwininfo -id "$viewerWindow" 2>/dev/null || true) |
            awk '/^ *Width:/ { w = $2 } /^ *Height:/ { h = $2 } END { if (w && h) print w "x" h }')
        if [ -n "$size" ]; then
            bareSize=$size
            break
        fi
    done
    kill "$sizePid" 2>/dev/null || true
    wait "$sizePid" 2>/dev/null || true
fi
log "drawing area: $bareSize"

results=()
row() { results+=("$(printf '%-64s %-28s %s' "$1" "$2" "($label)")"); }

# ---- Frame rate --------------------------------------------------------------------------
if ! skipped fps; then
    for shader in heavy trivial; do
        : >"$work/fps-$shader-morvane" ; : >"$work/fps-$shader-bare"
        : >"$work/cpu-$shader-morvane" ; : >"$work/cpu-$shader-bare"
        for pair in $(seq "$pairs"); do
            order="morvane bare"
            [ $((pair % 2)) = 0 ] && order="bare morvane"
            for program in $order; do
                [ "$program" = morvane ] && [ -z "$morvane" ] && continue
                logFile=$work/fps-$shader-$program-$pair.log
                export SWAPCOUNT_SECONDS=$((runSeconds)) SWAPCOUNT_FRAMES= SWAPCOUNT_PROBE= SWAPCOUNT_CALLGRIND=
                if [ "$program" = morvane ]; then
                    run_counted "$work/$shader" "$logFile" "$morvane"
                else
                    run_counted "$work/$shader" "$logFile" "$bare" --seconds 1000 --size "$bareSize"
                fi
                fps=$(fps_of "$logFile")
                log "fps $shader $program run $pair: $fps"
                echo "$fps" >>"$work/fps-$shader-$program"
                grep '^end' "$logFile" | tail -1 | sed -n 's/.*peak_rss_kb \([0-9]*\).*/\1/p' >>"$work/rss-$program"
                grep '^end' "$logFile" | tail -1 | sed -n 's/.*cpu_ms_per_frame \([0-9.]*\).*/\1/p' >>"$work/cpu-$shader-$program"
            done
        done
        bareFps=$(median <"$work/fps-$shader-bare")
        row "fps, $shader shader, bare GLX (median of $pairs)" "$bareFps"
        row "CPU ms/frame, $shader shader, bare GLX" "$(median <"$work/cpu-$shader-bare")"
        if [ -n "$morvane" ]; then
            morvaneFps=$(median <"$work/fps-$shader-morvane")
            row "fps, $shader shader, morvane (median of $pairs)" "$morvaneFps"
            row "CPU ms/frame, $shader shader, morvane" "$(median <"$work/cpu-$shader-morvane")"
            row "fps ratio morvane/bare, $shader shader" "$(awk -v a="$morvaneFps" -v b="$bareFps" 'BEGIN { if (b > 0) printf "%.3f", a / b; else print "nan" }')"
        fi
    done
fi

# ---- The frame-time readout (F1): frame rate and CPU time with it shown and with it off ----------
# The viewer alone, in alternating runs: each run activates the main window once the first frames
# are up and presses F1 there (or not) with xdotool, as a user does, then, leaving out the second
# after that, counts the frames presented and the CPU time of all the viewer's threads (the
# renderer's too, from /proc) over RUN_SECONDS. The readout times frames with the GPU's timer
# queries where the driver has them.
# fps_from LOG START_NS END_NS: frames per second of the frames presented between the two times;
# frames_from LOG START_NS END_NS: how many.
fps_from() {
    awk -v start="$2" -v end="$3" '$1 == "frame" && $3 >= start && $3 <= end { t[n++] = $3 }
        END { if (n < 2) print "nan"; else printf "%.2f\n", (n - 1) / ((t[n - 1] - t[0]) / 1e9) }' "$1"
}
frames_from() { awk -v start="$2" -v end="$3" '$1 == "frame" && $3 >= start && $3 <= end { n++ } END { print n + 0 }' "$1"; }
# CPU clock ticks (user and system, all threads) a process has used so far.
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat" 2>/dev/null || echo 0; }
if ! skipped readout && [ -n "$morvane" ]; then
    ticksPerSecond=$(getconf CLK_TCK)
    for shader in heavy trivial; do
        for state in off on; do : >"$work/readout-$shader-$state"; : >"$work/readout-cpu-$shader-$state"; done
        for pair in $(seq "$pairs"); do
            order="off on"
            [ $((pair % 2)) = 0 ] && order="on off"
            for state in $order; do
                logFile=$work/readout-$shader-$state-$pair.log
                (cd "$work/$shader" && SWAPCOUNT_SECONDS= SWAPCOUNT_FRAMES= SWAPCOUNT_PROBE= SWAPCOUNT_CALLGRIND= \
                    SWAPCOUNT_LOG="$logFile" LD_PRELOAD="$preload" exec "$morvane") >/dev/null 2>&1 &
                viewerPid=$!
                children+=("$viewerPid")
                for _ in $(seq 600); do
                    [ "$(grep -c '^frame' "$logFile" 2>/dev/null || true)" -ge 5 ] && break
                    sleep 0.1
                done
                viewerWindow=$(xdotool search --onlyvisible --name '^Morvane - ' 2>/dev/null | head -1 || true)
                # Both runs activate the main window (the Settings window's caret then stands still);
                # only one presses F1.
                if [ -n "$viewerWindow" ]; then
                    xdotool windowactivate --sync "$viewerWindow" 2>/dev/null || true
                    [ "$state" = on ] && { xdotool key F1 2>/dev/null || true; }
                fi
                # The second after the press is left out (the first readout, the queries' start).
                sleep 1
                start=$(date +%s%N)
                ticks=$(cpu_ticks "$viewerPid")
                sleep "$runSeconds"
                end=$(date +%s%N)
                ticks=$(($(cpu_ticks "$viewerPid") - ticks))
                caption=$(xdotool getwindowname "$viewerWindow" 2>/dev/null || true)
                kill "$viewerPid" 2>/dev/null || true
                wait "$viewerPid" 2>/dev/null || true
                if [ "$state" = on ] && [[ "$caption" != *" fps), worst "* ]]; then
                    log "readout $shader run $pair: the caption showed no readout ($caption)"
                    continue
                fi
                fps_from "$logFile" "$start" "$end" >>"$work/readout-$shader-$state"
                awk -v t="$ticks" -v hz="$ticksPerSecond" -v n="$(frames_from "$logFile" "$start" "$end")" \
                    'BEGIN { if (n > 0) printf "%.2f\n", t / hz * 1000 / n; else print "nan" }' >>"$work/readout-cpu-$shader-$state"
                log "readout $state, $shader run $pair: $(tail -1 "$work/readout-$shader-$state") fps," \
                    "$(tail -1 "$work/readout-cpu-$shader-$state") CPU ms/frame${caption:+ ($caption)}"
            done
        done
        for figure in fps cpu; do
            file=$work/readout-$shader; name="fps"
            [ "$figure" = cpu ] && { file=$work/readout-cpu-$shader; name="CPU ms/frame"; }
            off=$(median <"$file-off")
            on=$(median <"$file-on")
            row "$name, $shader shader, readout off / on (median of $pairs)" "$off / $on"
            row "$name ratio readout on/off, $shader shader" "$(awk -v a="$on" -v b="$off" 'BEGIN { if (b > 0) printf "%.3f", a / b; else print "nan" }')"
        done
    done
fi

# ---- Host cost per frame (callgrind, trivial shader) ---------------------------------------
if ! skipped callgrind; then
    if ! command -v valgrind >/dev/null; then
        log "valgrind is not installed: no host-cost figure"
    else
        skipFrames=15 countFrames=40
        for program in bare morvane; do
            [ "$program" = morvane ] && [ -z "$morvane" ] && continue
            out=$work/callgrind-$program.out
            export SWAPCOUNT_SECONDS= SWAPCOUNT_FRAMES= SWAPCOUNT_PROBE= SWAPCOUNT_CALLGRIND="$skipFrames,$countFrames"
            command=("$bare" --seconds 100000 --size "$bareSize")
            [ "$program" = morvane ] && command=("$morvane")
            log "callgrind: $program, $countFrames frames after $skipFrames (slow)"
            # Under valgrind a frame may take longer than the viewer's watch over frames that never
            # end allows: the watch is turned off.
            (cd "$work/trivial" && SWAPCOUNT_LOG="$work/callgrind-$program.log" LD_PRELOAD="$preload" \
                MORVANE_STALL_SECONDS=0 timeout 900 valgrind --tool=callgrind --instr-atstart=no --smc-check=all-non-file \
                --callgrind-out-file="$out.%p" "${command[@]}") >/dev/null 2>"$work/callgrind-$program.stderr" || true
            # The dump made at the end of the counted frames is the one with a part number.
            dump=$(ls "$out".*.1 2>/dev/null | head -1 || true)
            if [ -z "$dump" ]; then
                log "callgrind run of $program left no dump (see below)"
                tail -5 "$work/callgrind-$program.stderr" >&2
                continue
            fi
            callgrind_annotate --inclusive=no --threshold=100 "$dump" 2>/dev/null >"$work/annotate-$program.txt" || true
            total=$(awk '/PROGRAM TOTALS/ { gsub(",", "", $1); print $1; exit }' "$work/annotate-$program.txt")
            if [ -z "$total" ]; then
                log "callgrind_annotate could not read $dump"
                continue
            fi
            echo $((total / countFrames)) >"$work/ir-$program"
        done
        unset SWAPCOUNT_CALLGRIND
        if [ -s "$work/ir-bare" ]; then
            row "instructions/frame, trivial shader, bare" "$(cat "$work/ir-bare")"
        fi
        if [ -s "$work/ir-morvane" ] && [ -s "$work/ir-bare" ]; then
            row "instructions/frame, trivial shader, morvane" "$(cat "$work/ir-morvane")"
            row "host cost/frame (morvane - bare)" "$(( $(cat "$work/ir-morvane") - $(cat "$work/ir-bare") )) instructions"
            # The functions whose own cost grew most from bare to morvane.
            # Code without a symbol is named by library and address; the renderer's generated
            # shader code has no library and other addresses in every run, so it is one entry.
            parse() {
                awk '/PROGRAM TOTALS/ { next }
                     /^ *[0-9,]+ +\( *[0-9.]+%\) / {
                         count = $1; gsub(",", "", count)
                         name = $0; sub(/^ *[0-9,]+ +\( *[0-9.]+%\) +/, "", name)
                         library = ""
                         if (match(name, / \[[^]]*\]$/)) { library = substr(name, RSTART + 2, RLENGTH - 3); name = substr(name, 1, RSTART - 1) }
                         sub(/^.*\//, "", library)
                         if (name ~ /^\?\?\?:0x/) name = (library == "???" || library == "") ? "generated shader code" : library "+" substr(name, 5)
                         else { sub(/^[^:]*:/, "", name); if (library != "") name = name " (" library ")" }
                         print count "\t" name
                     }' "$1"
            }
            parse "$work/annotate-bare.txt" >"$work/fn-bare"
            parse "$work/annotate-morvane.txt" >"$work/fn-morvane"
            awk -F'\t' -v frames="$countFrames" 'NR == FNR { bare[$2] += $1; next } { m[$2] += $1 }
                END { for (f in m) { d = (m[f] - bare[f]) / frames; if (d > 0) printf "%d\t%s\n", d, f } }' \
                "$work/fn-bare" "$work/fn-morvane" | sort -rn | awk 'NR <= 3' >"$work/top3"
            rank=1
            while IFS=$'\t' read -r cost name; do
                row "host cost #$rank: ${name:0:46}" "$cost instructions/frame"
                rank=$((rank + 1))
            done <"$work/top3"
        fi
    fi
fi

# ---- Shadertoy's form against the viewer's own (the viewer only) ---------------------------
# The trivial shader in both forms, in alternating runs: CPU time per frame (median of PAIRS) and
# the host's instructions per frame (callgrind). A text in Shadertoy's form costs the same as one in
# the viewer's own form when nothing runs for the inputs it leaves unused.
if ! skipped shadertoy && [ -n "$morvane" ]; then
    for form in trivial shadertoy; do : >"$work/form-cpu-$form"; : >"$work/form-fps-$form"; done
    for pair in $(seq "$pairs"); do
        order="trivial shadertoy"
        [ $((pair % 2)) = 0 ] && order="shadertoy trivial"
        for form in $order; do
            logFile=$work/form-$form-$pair.log
            export SWAPCOUNT_SECONDS=$((runSeconds)) SWAPCOUNT_FRAMES= SWAPCOUNT_PROBE= SWAPCOUNT_CALLGRIND=
            run_counted "$work/$form" "$logFile" "$morvane"
            fps_of "$logFile" >>"$work/form-fps-$form"
            grep '^end' "$logFile" | tail -1 | sed -n 's/.*cpu_ms_per_frame \([0-9.]*\).*/\1/p' >>"$work/form-cpu-$form"
            log "form $form run $pair: $(tail -1 "$work/form-fps-$form") fps, $(tail -1 "$work/form-cpu-$form") CPU ms/frame"
        done
    done
    for form in trivial shadertoy; do
        row "CPU ms/frame, trivial shader, $form form, morvane" "$(median <"$work/form-cpu-$form")"
        row "fps, trivial shader, $form form, morvane (median of $pairs)" "$(median <"$work/form-fps-$form")"
    done
    row "CPU ms/frame ratio Shadertoy/own form" "$(awk -v a="$(median <"$work/form-cpu-shadertoy")" \
        -v b="$(median <"$work/form-cpu-trivial")" 'BEGIN { if (b > 0) printf "%.3f", a / b; else print "nan" }')"
    if command -v valgrind >/dev/null; then
        skipFrames=15 countFrames=40
        for form in trivial shadertoy; do
            out=$work/callgrind-form-$form.out
            export SWAPCOUNT_SECONDS= SWAPCOUNT_FRAMES= SWAPCOUNT_PROBE= SWAPCOUNT_CALLGRIND="$skipFrames,$countFrames"
            log "callgrind: morvane, $form form, $countFrames frames after $skipFrames (slow)"
            (cd "$work/$form" && SWAPCOUNT_LOG="$work/callgrind-form-$form.log" LD_PRELOAD="$preload" \
                MORVANE_STALL_SECONDS=0 timeout 900 valgrind --tool=callgrind --instr-atstart=no --smc-check=all-non-file \
                --callgrind-out-file="$out.%p" "$morvane") >/dev/null 2>"$work/callgrind-form-$form.stderr" || true
            dump=$(ls "$out".*.1 2>/dev/null | head -1 || true)
            total=
            if [ -n "$dump" ]; then
                callgrind_annotate --inclusive=no --threshold=100 "$dump" 2>/dev/null >"$work/annotate-form-$form.txt" || true
                total=$(awk '/PROGRAM TOTALS/ { gsub(",", "", $1); print $1; exit }' "$work/annotate-form-$form.txt")
            fi
            if [ -z "$total" ]; then
                log "callgrind left no figure for the $form form"
                continue
            fi
            echo $((total / countFrames)) >"$work/ir-form-$form"
            row "instructions/frame, trivial shader, $form form, morvane" "$(cat "$work/ir-form-$form")"
        done
        unset SWAPCOUNT_CALLGRIND
        if [ -s "$work/ir-form-trivial" ] && [ -s "$work/ir-form-shadertoy" ]; then
            row "instructions/frame ratio Shadertoy/own form" "$(awk -v a="$(cat "$work/ir-form-shadertoy")" \
                -v b="$(cat "$work/ir-form-trivial")" 'BEGIN { printf "%.4f", a / b }')"
        fi
    fi
fi

# viewer_for_typing DIR LOG WHAT [NAME=value...]: starts the viewer in DIR under the frame counter
# (its log LOG) with the settings given, waits for its frames and its Settings dialog, focuses the
# dialog and clicks into its source box; sets viewerPid and dialog. False, having said so (WHAT
# names the figure given up) and ended the viewer, when they never come.
viewer_for_typing() {
    local dir=$1 logFile=$2 what=$3
    shift 3
    (cd "$dir" && exec env "$@" SWAPCOUNT_SECONDS= SWAPCOUNT_FRAMES= SWAPCOUNT_CALLGRIND= SWAPCOUNT_LOG="$logFile" \
        LD_PRELOAD="$preload" "$morvane") >/dev/null 2>"$logFile.stderr" &
    viewerPid=$!
    children+=("$viewerPid")
    # Wait for frames, then for the dialog (a search can trip over windows that vanish while it
    # runs, so it is simply repeated).
    for _ in $(seq 600); do
        [ "$(grep -c '^frame' "$logFile" || true)" -ge 5 ] && break
        sleep 0.1
    done
    dialog=
    for _ in $(seq 100); do
        dialog=$(xdotool search --onlyvisible --name '^Settings$' 2>/dev/null | head -1 || true)
        [ -n "$dialog" ] && break
        sleep 0.2
    done
    if [ -z "$dialog" ] || ! kill -0 "$viewerPid" 2>/dev/null; then
        log "the viewer or its Settings dialog did not come up: no $what"
        cat "$logFile.stderr" >&2
        kill "$viewerPid" 2>/dev/null || true
        return 1
    fi
    xdotool windowactivate --sync "$dialog" 2>/dev/null || xdotool windowfocus --sync "$dialog"
    # Click into the source box (the upper two thirds of the dialog).
    eval "$(xdotool getwindowgeometry --shell "$dialog")"
    xdotool mousemove --window "$dialog" $((WIDTH / 2)) $((HEIGHT / 3)) click 1
    sleep 0.5
}

# ---- Edit-to-picture latency (the viewer only) ------------------------------------------------
# latency_of SHADER: starts the viewer in edit-SHADER, types EDITS single keystrokes into the
# Settings dialog's source box (alternately "9", making "0.6" "0.69", and BackSpace) and times
# each from the keystroke to the first presented frame whose probe pixel has changed.
latency_of() {
    local shader=$1 logFile=$work/latency-$1.log viewerPid dialog edit key before start latency count
    : >"$logFile"
    # A floor pixel near the bottom-left corner: nothing animates there.
    viewer_for_typing "$work/edit-$shader" "$logFile" "latency figure for the $shader shader" SWAPCOUNT_PROBE=40,40 ||
        return
    # Go to the end of the text and step back over "; }" and the final line feed: the caret then
    # stands after "0.6".
    xdotool key ctrl+End Left Left Left Left
    sleep 1
    : >"$work/latencies-$shader"
    for edit in $(seq "$edits"); do
        key=9
        [ $((edit % 2)) = 0 ] && key=BackSpace
        before=$(awk '$1 == "frame" { p = $4 " " $5 " " $6 } END { print p }' "$logFile")
        start=$(date +%s%N)
        xdotool key "$key"
        latency=
        for _ in $(seq 1000); do
            latency=$(awk -v t0="$start" -v before="$before" \
                '$1 == "frame" && $3 > t0 && ($4 " " $5 " " $6) != before { printf "%.1f\n", ($3 - t0) / 1e6; exit }' "$logFile")
            [ -n "$latency" ] && break
            sleep 0.01
        done
        if [ -z "$latency" ]; then
            log "latency, $shader shader, edit $edit ($key): the picture did not change within 10 s"
        else
            log "latency, $shader shader, edit $edit ($key): $latency ms"
            echo "$latency" >>"$work/latencies-$shader"
        fi
        sleep 0.4
    done
    kill "$viewerPid" 2>/dev/null || true
    wait "$viewerPid" 2>/dev/null || true
    count=$(wc -l <"$work/latencies-$shader")
    if [ "$count" -gt 0 ]; then
        row "edit-to-picture latency, $shader, median of $count" "$(median <"$work/latencies-$shader") ms"
        row "edit-to-picture latency, $shader, worst of $count" "$(maximum <"$work/latencies-$shader") ms"
    fi
}

if ! skipped latency && [ -n "$morvane" ]; then
    if ! command -v xdotool >/dev/null; then
        log "xdotool is not installed: no latency figure"
    else
        latency_of heavy
        latency_of trivial
    fi
fi

# ---- Echo lag and frame gaps while typing (the viewer only, default scene) --------------------
# echo_of INTERVAL_MS: starts the viewer on the default scene, puts the caret at the end of the
# scene's second line ("//", a comment) and has bench/echolag.c type ECHO_KEYS digits into it, one
# every INTERVAL_MS, timing each from its press to the moment the source box shows it. The caret
# must not blink for that (a changing caret would look like a character): the viewer gets a GTK
# settings file of its own that turns the blinking off. Each pace starts a fresh viewer, so the
# line never grows past the box. The presented frames are logged too, for the frame gaps.
# Mesa's shader cache is off for it: a text that differs only in a comment is the same program,
# which the cache would hand back without compiling, whereas an edit of the code is compiled in
# full; with the cache off, every typed text costs a full compile, as a real edit does.
echo_of() {
    local interval=$1 dir=$work/echo-$1 logFile=$work/echo-$1.log viewerPid dialog count lost first= last= longest steadyTime freezes
    mkdir -p "$dir/glsl" "$dir/config/gtk-3.0"
    cp "$root/glsl/vertexShader.glsl" "$root/glsl/pixelShader.glsl" "$dir/glsl/"
    printf '[Settings]\ngtk-cursor-blink=false\n' >"$dir/config/gtk-3.0/settings.ini"
    : >"$logFile"
    viewer_for_typing "$dir" "$logFile" "echo figure at 1 key/$interval ms" MESA_SHADER_CACHE_DISABLE=true \
        XDG_CONFIG_HOME="$dir/config" SWAPCOUNT_PROBE= || return
    xdotool key ctrl+Home Down End
    sleep 1
    "$echolag" --window "$dialog" --interval-ms "$interval" --keys "$echoKeys" >"$work/echo-$interval.keys" \
        2>"$work/echo-$interval.keys.stderr" || true
    # The typist ends once the last key shows; the frames of the second after it (the compile of
    # the last text) belong to the burst.
    sleep 1.5
    kill "$viewerPid" 2>/dev/null || true
    wait "$viewerPid" 2>/dev/null || true
    sed -n 's/^calibration /echo lag at 1 key\/'"$interval"' ms: /p' "$work/echo-$interval.keys" | while read -r line; do log "$line"; done
    cat "$work/echo-$interval.keys.stderr" >&2
    awk '$1 == "key" && $5 != "lost" { print $5 }' "$work/echo-$interval.keys" >"$work/echo-lags-$interval"
    count=$(wc -l <"$work/echo-lags-$interval")
    lost=$(awk '$1 == "key" && $5 == "lost"' "$work/echo-$interval.keys" | wc -l)
    log "echo lag at 1 key/$interval ms: $(tr '\n' ' ' <"$work/echo-lags-$interval")ms; $lost lost"
    if [ "$count" -gt 0 ]; then
        row "echo lag, 1 key/$interval ms, median of $count" "$(median <"$work/echo-lags-$interval") ms"
        row "echo lag, 1 key/$interval ms, worst of $count" "$(maximum <"$work/echo-lags-$interval") ms"
    fi
    [ "$lost" -gt 0 ] && row "echo lag, 1 key/$interval ms, keys never shown" "$lost"
    # The frame gaps of the burst: from its first key to 1 s after its last (which takes in the
    # compile of the last text), against the steady frame time, the median interval between the
    # frames of the 1.5 s before the first key. A gap over 3 x the steady time is a freeze.
    if [ "$interval" = 100 ]; then
        read -r first last < <(awk '$1 == "burst" { print $2, $3 }' "$work/echo-$interval.keys") || true
        if [ -n "$first" ]; then
            awk -v first="$first" -v last="$last" '
                $1 == "frame" { t[n++] = $3 }
                END {
                    for (i = 1; i < n; i++)
                        if (t[i - 1] >= first - 1.5e9 && t[i] < first) steady[s++] = (t[i] - t[i - 1]) / 1e6
                    if (s == 0) { print "nan nan nan"; exit }
                    for (i = 0; i < s; i++) for (j = i + 1; j < s; j++) if (steady[j] < steady[i]) { x = steady[i]; steady[i] = steady[j]; steady[j] = x }
                    median = s % 2 ? steady[(s - 1) / 2] : (steady[s / 2 - 1] + steady[s / 2]) / 2
                    longest = 0; freezes = 0
                    for (i = 1; i < n; i++)
                        if (t[i] > first && t[i - 1] < last + 1e9) {
                            gap = (t[i] - t[i - 1]) / 1e6
                            if (gap > longest) longest = gap
                            if (gap > 3 * median) freezes++
                        }
                    printf "%.1f %.1f %d\n", longest, median, freezes
                }' "$logFile" >"$work/echo-gaps"
            read -r longest steadyTime freezes <"$work/echo-gaps"
            log "frames while typing at 1 key/100 ms: longest gap $longest ms, steady $steadyTime ms, $freezes freezes"
            row "longest frame gap, 100 ms burst (steady frame time)" "$longest ms ($steadyTime ms)"
            row "picture freezes (gap > 3 x steady) per 100 ms burst" "$freezes"
        fi
    fi
}

if ! skipped echo && [ -n "$morvane" ]; then
    if ! command -v xdotool >/dev/null; then
        log "xdotool is not installed: no echo-lag figure"
    else
        for interval in 100 150 1000; do
            echo_of "$interval"
        done
    fi
fi

# ---- Rendering to files with no display (the viewer only, default scene) ----------------------
# A sequence of 120 PNG frames at 800 x 600, against the window's frame rate above (the render's
# rate counts from its start, the program's build included), and one 3840 x 2160 still.
if ! skipped render && [ -n "$morvane" ]; then
    mkdir -p "$work/render"
    summary=$( (cd "$work/heavy" && env -u DISPLAY "$morvane" --render "$work/render/f%04d.png" --frames 0-119) 2>&1 |
        tail -n 1)
    rate=$(sed -n 's/.*(\([0-9.]*\) frames\/s).*/\1/p' <<<"$summary")
    if [ -n "$rate" ]; then
        row "render to PNG files, 800 x 600, 120 frames, default scene" "$rate frames/s"
    else
        log "the sequence render failed: $summary"
    fi
    start=$(date +%s%N)
    if (cd "$work/heavy" && env -u DISPLAY "$morvane" --render "$work/render/still-4k.png" --size 3840x2160) \
        >/dev/null 2>&1; then
        row "render one 3840 x 2160 still, default scene (exec to file)" \
            "$(( ($(date +%s%N) - start) / 1000000 )) ms"
    else
        log "the 3840 x 2160 still failed"
    fi
fi

# ---- Start-up: exec to first presented frame, and peak memory -------------------------------
if ! skipped startup; then
    for program in bare morvane; do
        [ "$program" = morvane ] && [ -z "$morvane" ] && continue
        : >"$work/startup-$program"
        : >"$work/startup-rss-$program"
        for run in $(seq "$pairs"); do
            logFile=$work/startup-$program-$run.log
            export SWAPCOUNT_SECONDS= SWAPCOUNT_PROBE= SWAPCOUNT_CALLGRIND= SWAPCOUNT_FRAMES=1
            command=("$bare" --seconds 1000 --size "$bareSize")
            [ "$program" = morvane ] && command=("$morvane")
            start=$(date +%s%N)
            run_counted "$work/heavy" "$logFile" "${command[@]}"
            awk -v t0="$start" '$1 == "frame" { printf "%.1f\n", ($3 - t0) / 1e6; exit }' "$logFile" >>"$work/startup-$program"
            sed -n 's/^end.* rss_at_first_frame_kb \([0-9]*\).*/\1/p' "$logFile" >>"$work/startup-rss-$program"
        done
        unset SWAPCOUNT_FRAMES
        row "start-up to first frame, $program (median of $pairs)" "$(median <"$work/startup-$program") ms"
        row "peak RSS at first frame, $program" "$(maximum <"$work/startup-rss-$program") kB"
        if [ -s "$work/rss-$program" ]; then
            row "peak RSS after ${runSeconds} s of frames, $program" "$(maximum <"$work/rss-$program") kB"
        fi
    done
fi

# ---- Following the file: what the watch costs the frame loop --------------------------------
# bench/watch_cost times one frame's call with nothing happening to the file against the same loop
# without it, and a change (news, the file read once quiet and compared). Then the viewer on the
# trivial shader, in alternating runs: the file left alone, and another program writing the same
# text into it 4 times a second (each write is read and compared, nothing is recompiled).
if ! skipped watch; then
    if cmake --build "$build" -j2 --target watch_cost >>"$build/bench-build.log" 2>&1; then
        "$build/bench/watch_cost" "$root/glsl/pixelShader.glsl" >"$work/watch-cost" 2>&1 || true
        idleNs=$(sed -n 's/^idle_ns_per_frame //p' "$work/watch-cost")
        bareNs=$(sed -n 's/^bare_ns_per_frame //p' "$work/watch-cost")
        changeUs=$(sed -n 's/^change_us //p' "$work/watch-cost")
        if [ -n "$idleNs" ]; then
            row "following the file, a frame with no change (bare loop)" "$idleNs ns ($bareNs ns)"
            row "following the file, one change of the default scene" "$changeUs us"
        else
            log "watch_cost gave no figure: $(cat "$work/watch-cost")"
        fi
    else
        log "watch_cost does not build here (see $build/bench-build.log)"
    fi
    if [ -n "$morvane" ]; then
        for writes in alone written; do : >"$work/watch-cpu-$writes"; : >"$work/watch-fps-$writes"; done
        for pair in $(seq "$pairs"); do
            order="alone written"
            [ $((pair % 2)) = 0 ] && order="written alone"
            for writes in $order; do
                logFile=$work/watch-$writes-$pair.log
                writer=
                if [ "$writes" = written ]; then
                    # Saved as editors save: a new file renamed over the old one.
                    (while :; do cp "$root/bench/trivialPixelShader.glsl" "$work/trivial/glsl/.saving"
                        mv "$work/trivial/glsl/.saving" "$work/trivial/glsl/pixelShader.glsl"
                        sleep 0.25; done) &
                    writer=$!
                fi
                export SWAPCOUNT_SECONDS=$((runSeconds)) SWAPCOUNT_FRAMES= SWAPCOUNT_PROBE= SWAPCOUNT_CALLGRIND=
                run_counted "$work/trivial" "$logFile" "$morvane"
                if [ -n "$writer" ]; then
                    kill "$writer" 2>/dev/null || true
                    wait "$writer" 2>/dev/null || true
                fi
                fps_of "$logFile" >>"$work/watch-fps-$writes"
                grep '^end' "$logFile" | tail -1 | sed -n 's/.*cpu_ms_per_frame \([0-9.]*\).*/\1/p' >>"$work/watch-cpu-$writes"
                log "watch $writes run $pair: $(tail -1 "$work/watch-fps-$writes") fps, $(tail -1 "$work/watch-cpu-$writes") CPU ms/frame"
            done
        done
        row "CPU ms/frame, trivial shader, file alone / saved 4 times/s" \
            "$(median <"$work/watch-cpu-alone") / $(median <"$work/watch-cpu-written")"
        row "fps, trivial shader, file alone / saved 4 times/s" \
            "$(median <"$work/watch-fps-alone") / $(median <"$work/watch-fps-written")"
    fi
fi

# ---- The table ---------------------------------------------------------------------------
echo
echo "Morvane benchmarks, $(date -u '+%Y-%m-%d %H:%M UTC'), heavy shader = glsl/pixelShader.glsl"
echo "Drawing area of both programs: $bareSize pixels (the viewer's client area; bare_glx is given the same)"
printf '%-64s %-28s %s\n' "figure" "value" "measured on"
for line in "${results[@]}"; do echo "$line"; done
echo "Load average (1 min) of the machine: $loadAtStart at the start, $(cut -d' ' -f1 /proc/loadavg) at the end;" \
    "other work on the machine lowers the frame rates (CPU ms/frame much less)."

