#!/usr/bin/env bash
# Installs what is missing, builds the viewer in Release and starts it on the shipped default scene
# (glsl/ in the project folder). Without a display it runs the viewer on a virtual display,
# saves a screenshot and says where.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

"$root/scripts/install-deps.sh"
# Only the viewer is built: the tests in the same folder (scripts/test.sh builds them) need not
# hold up the first start.
cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$root/build" --target morvane -j"$(nproc)"

viewer="$root/build/viewer/morvane"
if [ ! -x "$viewer" ]; then
    echo "The viewer is not built yet: $viewer does not exist."
    exit 1
fi

cd "$root"
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    exec "$viewer"
fi

echo "No X display is available (DISPLAY is '${DISPLAY:-}')."
echo "Running Morvane on a virtual display (Xvfb with the openbox window manager) instead."
shot="$root/morvane-screenshot.png"
"$root/tests/with-display.sh" --wm bash -c '
    viewer=$1 shot=$2
    "$viewer" &
    pid=$!
    for _ in $(seq 100); do
        xdotool search --name "^Settings$" >/dev/null 2>&1 && break
        kill -0 $pid 2>/dev/null || break
        sleep 0.1
    done
    sleep 4
    if ! kill -0 $pid 2>/dev/null; then
        wait $pid
        echo "Morvane ended early with status $?."
        exit 1
    fi
    import -window root "$shot"
    main=$(xdotool search --name "^Morvane - " | head -n 1)
    if [ -n "$main" ]; then
        xdotool windowactivate --sync "$main" key --clearmodifiers alt+F4 2>/dev/null || true
    fi
    for _ in $(seq 50); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
    kill $pid 2>/dev/null || true
    wait $pid 2>/dev/null || true
' run "$viewer" "$shot"
echo "Screenshot of both windows saved as $shot"
