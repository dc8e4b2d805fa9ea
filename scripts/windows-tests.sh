#!/bin/sh
# Cross-builds the core and the Win32 adapters with MinGW-w64 and runs their tests under Wine:
# the `windows` workflow preset. Needs the Debian packages mingw-w64, wine and wine64 (installed
# by setup-debian.sh); this script installs nothing.
#
# The tests run in a Wine prefix of their own inside the build folder. Its server is kept running
# for the whole run (`wineserver -p`) and the prefix booted before the first test, so that Wine's
# helper processes start once, detached from ctest's output, instead of with every test.
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/windows"
export WINEPREFIX="$build/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY

for tool in x86_64-w64-mingw32-g++-posix wineserver /usr/lib/wine/wine64; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "windows-tests: $tool is missing (Debian packages: mingw-w64 wine wine64)" >&2
        exit 1
    fi
done

mkdir -p "$WINEPREFIX"
# Tests started before the prefix has booted wait for this marker to go (cmake/wine-run.sh).
booting="$WINEPREFIX/.tollvane-booting"
# (One may run already, left by a test run without this script: it is kept, and stopped below.)
wineserver -p </dev/null >/dev/null 2>&1 || true
trap 'rm -f "$booting"; wineserver -k </dev/null >/dev/null 2>&1 || true' EXIT
trap 'exit 130' INT TERM
# The prefix boots while the compiler runs.
: >"$booting"
(/usr/lib/wine/wine64 wineboot -i </dev/null >/dev/null 2>&1 || true; rm -f "$booting") &

cd "$root"
cmake --workflow --preset windows
