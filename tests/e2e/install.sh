#!/usr/bin/env bash
# Morvane installed as a desktop application, as a user gets it: the Debian package made from this
# build (cpack, into a folder of the test's own) installs with apt-get and holds the viewer, its
# launcher, the default scene, the menu entry, the icon and the metadata and nothing else; the menu
# entry and the metadata pass desktop-file-validate and appstreamcli. The menu entry's command,
# started with an empty home folder, makes ~/Morvane with the default scene and draws it; a second
# start keeps the pixel shader the user changed and draws that. In a home whose documents folder
# has a scene with a broken pixel shader, only the missing vertex shader is added, and the viewer's
# message (without the libraries' warnings) is shown in a dialog, read back through the clipboard;
# a scene folder that cannot be made is reported the same way. The package is removed at the end,
# also when a check fails.
#
#   install.sh BUILD_DIR
#
# Installing needs root: without it the test says so and ends with status 77 (skipped); so it does
# when the package is installed already, except under CI=true, where it removes it first. Runs
# hold a lock, so that two builds on one machine never install and remove the package under each
# other.
source "$(dirname "$0")/lib.sh"

build=${1:?usage: install.sh BUILD_DIR}
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
readonly skipped=77
readonly lock=/tmp/morvane-package-test.lock
# Present while a run of this test has the package installed: a run that was killed before it
# could remove the package leaves it behind, and the next run knows the package is its own.
readonly installed_mark=/tmp/morvane-package-test.installed

if [ "$(id -u)" != 0 ]; then
    note "SKIP: installing the package needs root (run the tests as root, as CI does)"
    exit $skipped
fi

exec 9>"$lock"
if ! flock -w 600 9; then
    fail "another run of this test held $lock for 10 minutes"
    finish
fi

package_installed() { dpkg-query -W -f='${Status}' morvane 2>/dev/null | grep -q 'install ok installed'; }
package_removed() { ! package_installed && [ ! -e /usr/bin/morvane ] && [ ! -e /usr/bin/morvane-launcher ]; }

# A package installed before the test (by hand, or left by another build) is the user's: the test
# skips rather than replace and remove it. Under CI (CI=true) the machine is the test's own, and
# a test that skipped there would never run: the package is removed first.
if package_installed && [ ! -e "$installed_mark" ]; then
    if [ "${CI:-}" != true ]; then
        note "SKIP: the morvane package is installed already, and this test would replace and remove it" \
            "(dpkg --purge morvane removes it; under CI=true the test removes it itself)"
        exit $skipped
    fi
    note "the morvane package is installed already; under CI it is removed first"
    if ! timeout 300 dpkg --purge morvane >"$E2E_WORK/preinstalled.log" 2>&1; then
        cat "$E2E_WORK/preinstalled.log"
    fi
    check "the package installed before the test is removed (CI=true)" package_removed
    package_removed || finish
fi

remove_package() {
    if package_installed || [ -e "$installed_mark" ]; then
        timeout 300 dpkg --purge morvane >"$E2E_WORK/remove.log" 2>&1 || cat "$E2E_WORK/remove.log"
    fi
    package_installed || rm -f "$installed_mark"
}
trap 'remove_package; cleanup' EXIT
trap 'exit 129' HUP
trap 'exit 130' INT
trap 'exit 143' TERM

# --- The package ------------------------------------------------------------------------------

note "making the package"
if ! timeout 300 cpack -G DEB --config "$build/CPackConfig.cmake" -B "$E2E_WORK/package" >"$E2E_WORK/cpack.log" 2>&1; then
    cat "$E2E_WORK/cpack.log"
    fail "cpack -G DEB makes the package"
    finish
fi
debs=("$E2E_WORK"/package/morvane_*.deb)
check "cpack made one package (${debs[*]##*/})" [ ${#debs[@]} = 1 -a -f "${debs[0]}" ]
deb=${debs[0]}

version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")
check "the package's version is the project's ($version)" [ -n "$version" -a "$(dpkg-deb -f "$deb" Version)" = "$version" ]
check "the maintainer is the Morvane team" [ "$(dpkg-deb -f "$deb" Maintainer)" = "The Morvane team" ]
depends=$(dpkg-deb -f "$deb" Depends)
note "Depends: $depends"
check "the dependencies include the libraries the viewer links (GTK, GLEW)" \
    grep -q 'libgtk-3-0.*libgtksourceview-4' <<<"$depends"
check "the dependencies include a dialog program for the launcher" grep -q 'zenity' <<<"$depends"

# The files it holds (without the folders), and the application id from the menu entry's name.
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { sub(/^\.\//, "", $6); print $6 }' | sort >"$E2E_WORK/files"
id=$(sed -n 's|^usr/share/applications/\(.*\)\.desktop$|\1|p' "$E2E_WORK/files")
sort >"$E2E_WORK/expected-files" <<EOF
usr/bin/morvane
usr/bin/morvane-launcher
usr/share/morvane/glsl/vertexShader.glsl
usr/share/morvane/glsl/pixelShader.glsl
usr/share/applications/$id.desktop
usr/share/icons/hicolor/scalable/apps/$id.svg
usr/share/metainfo/$id.metainfo.xml
EOF
check "the package holds the viewer, the launcher, the scene, the menu entry, the icon and the metadata, and nothing else ($(tr '\n' ' ' <"$E2E_WORK/files"))" \
    [ -n "$id" -a "$(cat "$E2E_WORK/files")" = "$(cat "$E2E_WORK/expected-files")" ]

# --- Installing it ----------------------------------------------------------------------------

note "installing $deb"
touch "$installed_mark"
if ! DEBIAN_FRONTEND=noninteractive timeout 300 apt-get install -y -q -o DPkg::Lock::Timeout=120 "$deb" \
    >"$E2E_WORK/install.log" 2>&1; then
    cat "$E2E_WORK/install.log"
fi
check "apt-get install ./${deb##*/} installs the package" package_installed
package_installed || finish

desktop=/usr/share/applications/$id.desktop
metainfo=/usr/share/metainfo/$id.metainfo.xml
check "desktop-file-validate accepts the menu entry ($(desktop-file-validate "$desktop" 2>&1 | tr '\n' ' '))" \
    desktop-file-validate "$desktop"
check "appstreamcli validate accepts the metadata" timeout 60 appstreamcli validate --no-net "$metainfo"
icon=$(sed -n 's/^Icon=//p' "$desktop")
check "the menu entry's icon ($icon) is installed" [ -f "/usr/share/icons/hicolor/scalable/apps/$icon.svg" ]
check "the metadata's launchable is the menu entry" grep -qF "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo"
for file in vertexShader.glsl pixelShader.glsl; do
    check "the installed $file is the project's default one" cmp -s "$source_dir/glsl/$file" "/usr/share/morvane/glsl/$file"
done

# The menu entry's command, as a menu runs it: the Exec line without its field codes.
read -r -a entry_command < <(sed -n 's/^Exec=//p' "$desktop" | head -n 1 | sed -E 's/ ?%[fFuUdDnNickvm]//g')
note "the menu entry runs: ${entry_command[*]}"
check "the menu entry's command is the installed launcher" [ "$(command -v "${entry_command[0]}")" = /usr/bin/morvane-launcher ]

# --- Starting it from the menu ----------------------------------------------------------------

launches=0
# Runs the menu entry's command in the background with the home folder given and NAME=value
# settings after it, from the root folder (a menu starts programs wherever it is), with no scene
# folder of the caller's; its standard error goes to $LAUNCH_ERR.
launch() {
    local home=$1
    shift
    launches=$((launches + 1))
    LAUNCH_ERR=$E2E_WORK/launch-$launches.err
    (cd / && exec env -u MORVANE_SCENE_DIR -u XDG_CONFIG_HOME HOME="$home" "$@" "${entry_command[@]}" \
        >"$E2E_WORK/launch-$launches.out" 2>"$LAUNCH_ERR") &
    MORVANE_PID=$!
}

# Waits for the viewer's two windows; ends the test when they never come.
wait_for_viewer() {
    wait_for_windows "$LAUNCH_ERR"
    settle
}

# Waits for the launcher's dialog (a window named "Morvane") and sets DIALOG; empty when none came.
wait_for_dialog() {
    DIALOG=
    for _ in $(seq 300); do
        DIALOG=$(xdo search --onlyvisible --name '^Morvane$' 2>/dev/null | head -n 1)
        [ -n "$DIALOG" ] && break
        running || break
        sleep 0.1
    done
    [ -n "$DIALOG" ] && settle 1
}

# The dialog's text as a user copies it: the focus on the message, select all, copy.
read_dialog() {
    local key text
    xdo windowactivate --sync "$DIALOG" 2>/dev/null
    for key in shift+Tab Tab Tab; do
        printf '' | timeout 5 xclip -selection clipboard >/dev/null 2>&1
        xdo key --clearmodifiers "$key"
        settle 0.3
        xdo key --clearmodifiers ctrl+a
        xdo key --clearmodifiers ctrl+c
        sleep 0.3
        text=$(timeout 5 xclip -o -selection clipboard 2>/dev/null)
        if [ -n "$text" ]; then
            printf '%s\n' "$text"
            return
        fi
    done
}

# Whether every line of the first file is a whole line of the second (and the first has lines).
all_lines_in() {
    local line
    [ -s "$1" ] || return 1
    while IFS= read -r line; do
        grep -qxF -- "$line" "$2" || return 1
    done <"$1"
}
none_in() { ! grep -q -- "$1" "$2"; }

close_dialog() {
    xdo windowactivate --sync "$DIALOG" 2>/dev/null
    xdo key --clearmodifiers Escape
}

colours() { convert "$E2E_WORK/$1.png" -format '%k' info:; }

home=$(mktemp -d "$E2E_WORK/home-XXXXXX")
scene=$home/Morvane
launch "$home"
wait_for_viewer
shot first
check "the first start draws the default scene ($(colours first) colours)" [ "$(colours first)" -gt 100 ]
check "the scene folder ~/Morvane holds the default vertex shader" \
    cmp -s /usr/share/morvane/glsl/vertexShader.glsl "$scene/glsl/vertexShader.glsl"
check "the scene folder ~/Morvane holds the default pixel shader" \
    cmp -s /usr/share/morvane/glsl/pixelShader.glsl "$scene/glsl/pixelShader.glsl"
viewer_pid=$(pgrep -P "$MORVANE_PID" -x morvane | head -n 1)
check "the launcher runs the installed viewer ($(readlink "/proc/$viewer_pid/exe"))" \
    [ -n "$viewer_pid" -a "$(readlink "/proc/$viewer_pid/exe")" = /usr/bin/morvane ]
check "the viewer runs in the scene folder ($(readlink "/proc/$viewer_pid/cwd"))" \
    [ "$(readlink "/proc/$viewer_pid/cwd")" = "$scene" ]
close_main
wait_exit
check "closing the viewer ends the launcher with status 0 (got $EXIT_STATUS)" [ "$EXIT_STATUS" = 0 ]

# The user changes the pixel shader to one that paints everything green (every uniform stays in
# use); the next start keeps and draws it.
cat >"$scene/glsl/pixelShader.glsl" <<'EOF'
// The user's own scene: green all over.
uniform mat4 screen2World;
uniform vec3 cameraPos;
uniform float totalTime;
void main()
{
    float unused = sin(totalTime) * 0.0001 * (cameraPos.x + screen2World[0][0]);
    gl_FragColor = vec4(unused, 1.0, 0.0, 1.0);
}
EOF
cp "$scene/glsl/pixelShader.glsl" "$E2E_WORK/users-pixel-shader"
launch "$home"
wait_for_viewer
shot second
centre=$(convert "$E2E_WORK/second.png" -gravity center -crop 1x1+0+0 -format '%[hex:p{0,0}]' info:)
check "the second start draws the user's green scene (the centre is $centre)" [ "$centre" = 00FF00 ]
close_main
wait_exit
check "the second start keeps the pixel shader the user changed" cmp -s "$E2E_WORK/users-pixel-shader" "$scene/glsl/pixelShader.glsl"
check "the second start ends with status 0 (got $EXIT_STATUS)" [ "$EXIT_STATUS" = 0 ]

# --- A start that fails -----------------------------------------------------------------------

# A home whose documents folder is ~/Dokumente, with a scene there whose pixel shader is broken and
# whose vertex shader is missing. LIBGL_DEBUG=verbose makes Mesa's libGL report its work on
# standard error, which the dialog must leave out.
home=$(mktemp -d "$E2E_WORK/home-XXXXXX")
scene=$home/Dokumente/Morvane
mkdir -p "$home/.config" "$scene/glsl"
echo 'XDG_DOCUMENTS_DIR="$HOME/Dokumente"' >"$home/.config/user-dirs.dirs"
printf 'void main() { broken }\n' >"$scene/glsl/pixelShader.glsl"
cp "$scene/glsl/pixelShader.glsl" "$E2E_WORK/broken-pixel-shader"

# What the viewer itself says about that scene.
expected=$(mktemp -d "$E2E_WORK/expected-XXXXXX")
cp -r "$scene/glsl" "$expected/"
cp /usr/share/morvane/glsl/vertexShader.glsl "$expected/glsl/"
(cd "$expected" && timeout 60 /usr/bin/morvane >/dev/null 2>"$expected/stderr.txt")
expected_status=$?
grep -v '^[[:space:]]*$' "$expected/stderr.txt" >"$expected/lines"
note "the viewer alone ends with status $expected_status and says: $(cat "$expected/lines")"

launch "$home" LIBGL_DEBUG=verbose
wait_for_dialog
check "a failed start shows a dialog" [ -n "$DIALOG" ]
if [ -n "$DIALOG" ]; then
    read_dialog >"$E2E_WORK/dialog.txt"
    note "the dialog says: $(cat "$E2E_WORK/dialog.txt")"
    check "the dialog shows the viewer's message, every line of it" all_lines_in "$expected/lines" "$E2E_WORK/dialog.txt"
    check "the dialog leaves out libGL's own lines" none_in '^libGL' "$E2E_WORK/dialog.txt"
    check "the dialog names the scene folder" grep -qF "$scene" "$E2E_WORK/dialog.txt"
    close_dialog
fi
wait_exit
check "the launcher ends with the viewer's status ($expected_status; got $EXIT_STATUS)" \
    [ "$EXIT_STATUS" = "$expected_status" -a "$EXIT_STATUS" != 0 ]
check "the viewer's message is on the launcher's standard error too" all_lines_in "$expected/lines" "$LAUNCH_ERR"
check "so are libGL's lines (the dialog had some to leave out)" grep -q '^libGL' "$LAUNCH_ERR"
check "the launcher added the missing vertex shader to the documents folder's scene" \
    cmp -s /usr/share/morvane/glsl/vertexShader.glsl "$scene/glsl/vertexShader.glsl"
check "the launcher kept the user's pixel shader" cmp -s "$E2E_WORK/broken-pixel-shader" "$scene/glsl/pixelShader.glsl"

# A scene folder that cannot be made (MORVANE_SCENE_DIR below a file).
touch "$E2E_WORK/a-file"
folder=$E2E_WORK/a-file/Morvane
launch "$home" MORVANE_SCENE_DIR="$folder"
wait_for_dialog
check "a scene folder that cannot be made is reported in a dialog" [ -n "$DIALOG" ]
if [ -n "$DIALOG" ]; then
    read_dialog >"$E2E_WORK/dialog.txt"
    note "the dialog says: $(cat "$E2E_WORK/dialog.txt")"
    check "the dialog names the folder" grep -qF "$folder" "$E2E_WORK/dialog.txt"
    check "standard error says the same" grep -qxF "morvane-launcher: $(head -n 1 "$E2E_WORK/dialog.txt")" "$LAUNCH_ERR"
    close_dialog
fi
wait_exit
check "the launcher ends with status 1 (got $EXIT_STATUS)" [ "$EXIT_STATUS" = 1 ]

# Arguments pass through the launcher: a render of a scene named by a relative path, written to a
# relative file, from the folder the launcher was started in, with no scene folder of its own.
mkdir -p "$E2E_WORK/elsewhere/flat"
cp /usr/share/morvane/glsl/pixelShader.glsl "$E2E_WORK/elsewhere/flat/"
(cd "$E2E_WORK/elsewhere" && env -u DISPLAY HOME="$E2E_WORK/no-home" morvane-launcher --render still.png flat \
    >/dev/null 2>"$E2E_WORK/render-err.txt")
status=$?
check "the launcher passes a render on (status $status: $(head -c 300 "$E2E_WORK/render-err.txt"))" \
    bash -c "[ $status = 0 ] && [ -s '$E2E_WORK/elsewhere/still.png' ]"
check "and sets up no scene folder for it" [ ! -e "$E2E_WORK/no-home" ]

# --- Removing it ------------------------------------------------------------------------------

remove_package
check "the package is removed again" package_removed
finish
