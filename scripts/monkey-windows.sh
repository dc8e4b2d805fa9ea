#!/usr/bin/env bash
# Random use of tollvane.exe under Wine for MINUTES minutes (tests/monkey/monkey.py with its Wine
# part, tests/monkey/wine_program.py): the program built with undefined behaviour trapping and the
# library's assertions (the `windows-ubsan` preset), in a Wine session of its own (a prefix and an
# X display, cmake/wine-session.sh), driven through the X server as a user drives it. The first
# crash, hang, stopped clock, stray window or process, or damaged value fails it; the seed and
# every action are printed, and `scripts/monkey-windows.sh MINUTES SEED` replays a run.
#
#   scripts/monkey-windows.sh MINUTES [SEED [--weight 'ACTION=W' ...]]
# (an empty SEED draws one; a weight makes a run dwell on one action, e.g. 'session end=20')
# The program's output of each run is kept in build/windows-ubsan/monkey/logs/.
set -euo pipefail
cd "$(dirname "$0")/.."
minutes=${1:?usage: scripts/monkey-windows.sh MINUTES [SEED]}
seed=${2:-}
shift $(($# < 2 ? $# : 2))
root=$PWD
for tool in x86_64-w64-mingw32-g++-posix wineserver /usr/lib/wine/wine64 Xvfb xdotool python3; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "monkey-windows: $tool is missing (scripts/setup-debian.sh installs it)" >&2
        exit 1
    fi
done

build=$root/build/windows-ubsan
if [ ! -f "$build/CMakeCache.txt" ]; then cmake --preset windows-ubsan >/dev/null; fi
cmake --build "$build" -j2 --target tollvane tollvane_probe
if [ "$minutes" = 0 ]; then exit 0; fi  # 0 minutes: the build alone

work=$build/monkey
prefix=$work/prefix
trap 'sh cmake/wine-session.sh stop "$prefix"' EXIT
sh cmake/wine-session.sh start "$prefix"
sh cmake/wine-session.sh check "$prefix"
# The program in a folder of its own, where its reminder file lands, on a registry without values.
rm -rf "$work/program" "$work/logs"
mkdir -p "$work/program" "$work/logs"
cp "$build/bin/tollvane.exe" "$build/bin/HelpForBrindle.HLP" "$work/program/"
sh cmake/wine-run.sh "$prefix" reg delete 'HKCU\Software\VB and VBA Program Settings' /f \
    >/dev/null 2>&1 || true
DISPLAY=$(cat "$prefix/.tollvane-display")
export DISPLAY

python3 tests/monkey/monkey.py --platform wine --program "$work/program/tollvane.exe" \
    --probe "$build/tests/win32/monkey/tollvane_probe.exe" --prefix "$prefix" \
    --minutes "$minutes" --logs "$work/logs" ${seed:+--seed "$seed"} "$@"
