# Cross-compiling Morvane for 64-bit Windows with Debian's mingw-w64. The POSIX thread model is
# used because the default one lacks std::thread and std::mutex. Programs are linked statically,
# so they need no DLL beyond Windows' own; a program with a wide entry point (wWinMain) adds
# -municode itself (the compiler checks here use a plain main). The programs built here run under
# Wine, which is how CTest starts the Windows build's tests.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(MORVANE_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${MORVANE_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MORVANE_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${MORVANE_MINGW_TRIPLE}-windres)
set(CMAKE_AR ${MORVANE_MINGW_TRIPLE}-ar CACHE FILEPATH "Archiver")
set(CMAKE_RANLIB ${MORVANE_MINGW_TRIPLE}-ranlib CACHE FILEPATH "Ranlib")

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Libraries and headers come from the mingw-w64 tree only, never from the build machine's
# /usr/include (which holds glibc's headers); tools still run from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${MORVANE_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Wine runs the programs in a prefix of its own inside the build folder (never the user's ~/.wine),
# without its debug output, and without the .NET and HTML engines a fresh prefix would offer to
# install. The first test of the build creates the prefix (tests/CMakeLists.txt).
set(CMAKE_CROSSCOMPILING_EMULATOR env WINEPREFIX=${CMAKE_BINARY_DIR}/wine-prefix WINEARCH=win64 WINEDEBUG=-all
    WINEDLLOVERRIDES=mscoree,mshtml= wine)
