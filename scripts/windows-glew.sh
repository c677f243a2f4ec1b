#!/usr/bin/env bash
# Builds GLEW for Windows as a static library from Debian's source package `glew`, which carries
# the generated glew.c and headers (Debian ships no mingw-w64 build of GLEW).
#
#   scripts/windows-glew.sh PREFIX
#
# The source is fetched with apt-get through a configuration of its own under PREFIX (its own
# source list, state and cache folders), so the machine's apt setup is left alone; the source
# list copies the Debian archive entries of the machine's own list, as deb-src. PREFIX then
# holds include/GL/*.h, lib/libglew32s.a and lib/cmake/glew/glew-config.cmake, which defines the
# target GLEW::GLEW (with GLEW_STATIC) for find_package(GLEW).
set -euo pipefail

if [ $# -ne 1 ]; then
    echo "usage: $0 PREFIX" >&2
    exit 2
fi
mkdir -p "$1"
prefix=$(cd "$1" && pwd)
cc=${MORVANE_MINGW_CC:-x86_64-w64-mingw32-gcc-posix}
ar=${MORVANE_MINGW_AR:-x86_64-w64-mingw32-ar}

if [ -f "$prefix/lib/libglew32s.a" ] && [ -f "$prefix/lib/cmake/glew/glew-config.cmake" ]; then
    echo "GLEW for Windows is already built in $prefix"
    exit 0
fi
for tool in apt-get dpkg-source "$cc" "$ar"; do
    if ! command -v "$tool" >/dev/null; then
        echo "error: $tool is missing (packages dpkg-dev, gcc-mingw-w64-x86-64-posix, binutils-mingw-w64-x86-64)" >&2
        exit 1
    fi
done

apt_dir="$prefix/apt"
rm -rf "$apt_dir"
mkdir -p "$apt_dir/sources.list.d" "$apt_dir/state/lists/partial" "$apt_dir/cache/archives/partial" "$apt_dir/download"

# Source entries for the Debian archive, copied from the machine's own entries (one-line and
# deb822 formats). Only the main archive (a URI ending in /debian) is taken: glew lives there,
# and other repositories may offer no sources at all.
sources="$apt_dir/sources.list"
: >"$sources"
for list in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$list" ] || continue
    grep -E '^[[:space:]]*deb[[:space:]]' "$list" \
        | grep -E '[[:space:]][a-z+]+://[^[:space:]]*/debian/?[[:space:]]' \
        | sed -E 's/^[[:space:]]*deb[[:space:]]/deb-src /' >>"$sources" || true
done
for list in /etc/apt/sources.list.d/*.sources; do
    [ -f "$list" ] || continue
    # Each stanza is printed again as a one-line deb-src entry.
    awk '
        function flush() {
            if (types ~ /(^| )deb( |$)/ && enabled != "no" && uris != "") {
                n = split(uris, u, " ")
                for (i = 1; i <= n; i++) {
                    if (u[i] !~ /\/debian\/?$/) continue
                    options = signedBy != "" ? "[signed-by=" signedBy "] " : ""
                    m = split(suites, s, " ")
                    for (j = 1; j <= m; j++) print "deb-src " options u[i] " " s[j] " " components
                }
            }
            types = ""; uris = ""; suites = ""; components = ""; signedBy = ""; enabled = ""
        }
        /^[[:space:]]*$/ { flush(); next }
        /^#/ { next }
        {
            key = $1; sub(/:$/, "", key); $1 = ""; sub(/^ +/, "")
            if (key == "Types") types = $0
            else if (key == "URIs") uris = $0
            else if (key == "Suites") suites = $0
            else if (key == "Components") components = $0
            else if (key == "Signed-By") signedBy = $0
            else if (key == "Enabled") enabled = tolower($0)
        }
        END { flush() }
    ' "$list" >>"$sources"
done
if [ ! -s "$sources" ]; then
    echo "error: the machine's apt sources name no Debian archive to fetch GLEW's source from" >&2
    exit 1
fi

apt_options=(
    -o "Dir::Etc::SourceList=$sources"
    -o "Dir::Etc::SourceParts=$apt_dir/sources.list.d"
    -o "Dir::State=$apt_dir/state"
    -o "Dir::Cache=$apt_dir/cache"
    -o "APT::Sandbox::User=$(id -un)"
    -q
)
echo "Fetching Debian's GLEW source package"
apt-get "${apt_options[@]}" update >"$apt_dir/update.log" 2>&1 || {
    cat "$apt_dir/update.log" >&2
    echo "error: apt-get update for GLEW's source failed" >&2
    exit 1
}
(cd "$apt_dir/download" && apt-get "${apt_options[@]}" source --download-only glew) >"$apt_dir/source.log" 2>&1 || {
    cat "$apt_dir/source.log" >&2
    echo "error: apt-get source glew failed" >&2
    exit 1
}
# apt-get checked the downloaded files against the archive's signed index, so dpkg-source need not
# look for the uploader's signature (whose keyring may not be installed).
dsc=$(ls "$apt_dir"/download/glew_*.dsc | head -n 1)
source_dir="$apt_dir/glew"
dpkg-source --no-check -x "$dsc" "$source_dir" >"$apt_dir/extract.log" 2>&1 || {
    cat "$apt_dir/extract.log" >&2
    echo "error: unpacking $dsc failed" >&2
    exit 1
}
for file in src/glew.c include/GL/glew.h include/GL/wglew.h; do
    if [ ! -f "$source_dir/$file" ]; then
        echo "error: $(basename "$dsc") has no generated $file" >&2
        exit 1
    fi
done

echo "Building GLEW for Windows from $(basename "$dsc")"
mkdir -p "$prefix/include/GL" "$prefix/lib/cmake/glew" "$apt_dir/objects"
cp "$source_dir"/include/GL/*.h "$prefix/include/GL/"
"$cc" -O2 -DGLEW_STATIC -DGLEW_NO_GLU -I"$prefix/include" -c "$source_dir/src/glew.c" -o "$apt_dir/objects/glew.o"
rm -f "$prefix/lib/libglew32s.a"
"$ar" rcs "$prefix/lib/libglew32s.a" "$apt_dir/objects/glew.o"

cat >"$prefix/lib/cmake/glew/glew-config.cmake" <<'EOF'
# GLEW for Windows, a static library built from Debian's source package by scripts/windows-glew.sh.
get_filename_component(_glew_prefix "${CMAKE_CURRENT_LIST_DIR}/../../.." ABSOLUTE)
if(NOT TARGET GLEW::GLEW)
    add_library(GLEW::GLEW STATIC IMPORTED)
    set_target_properties(GLEW::GLEW PROPERTIES
        IMPORTED_CONFIGURATIONS RELEASE
        IMPORTED_LOCATION "${_glew_prefix}/lib/libglew32s.a"
        IMPORTED_LOCATION_RELEASE "${_glew_prefix}/lib/libglew32s.a"
        INTERFACE_INCLUDE_DIRECTORIES "${_glew_prefix}/include"
        INTERFACE_COMPILE_DEFINITIONS "GLEW_STATIC;GLEW_NO_GLU"
        INTERFACE_LINK_LIBRARIES "opengl32")
endif()
unset(_glew_prefix)
EOF
echo "GLEW for Windows is in $prefix"
