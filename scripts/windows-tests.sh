#!/bin/sh
# Cross-builds the Windows program (tollvane.exe) and its tests with MinGW-w64 and runs the tests
# under Wine on a display of their own: the `windows` workflow preset, whose tests set up their
# Wine session themselves (cmake/wine-session.sh). Needs the Debian packages mingw-w64, wine,
# wine64 and xvfb (installed by setup-debian.sh); this script installs nothing.
#   windows-tests.sh [--test-only]   (--test-only: the tests of a build made already)
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
for tool in x86_64-w64-mingw32-g++-posix wineserver /usr/lib/wine/wine64 Xvfb; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "windows-tests: $tool is missing (Debian packages: mingw-w64 wine wine64 xvfb)" >&2
        exit 1
    fi
done
cd "$root"
if [ "${1:-}" = --test-only ]; then
    exec ctest --preset windows
fi
cmake --workflow --preset windows
