#!/bin/sh
# Runs a Windows program of the cross-build under Wine: wine-run.sh PREFIX PROGRAM [ARGS...]
# No display (the tests open no window), no Wine logging, and no offer to fetch Mono or Gecko.
set -e
if [ $# -lt 2 ]; then
    echo "usage: $0 WINEPREFIX PROGRAM [ARGS...]" >&2
    exit 2
fi
case $1 in
    /*) WINEPREFIX=$1 ;;
    *) WINEPREFIX=$(pwd)/$1 ;;  # Wine takes only an absolute prefix
esac
shift
export WINEPREFIX
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
# scripts/windows-tests.sh boots the prefix while the build runs; wait for it (at most a minute).
waited=0
while [ -e "$WINEPREFIX/.tollvane-booting" ] && [ $waited -lt 600 ]; do
    sleep 0.1
    waited=$((waited + 1))
done
# Without a server that outlives each program, Wine starts its helper processes (services.exe,
# winedevice.exe ...) with every program, and they hold the caller's output open for seconds after
# the program has ended: seconds per test under ctest. So start one, detached from our output,
# unless one runs already (scripts/windows-tests.sh keeps one for the whole run); this one ends by
# itself a minute after the last program.
if wineserver -p60 </dev/null >/dev/null 2>&1; then
    /usr/lib/wine/wine64 wineboot -i </dev/null >/dev/null 2>&1 || true
fi
exec /usr/lib/wine/wine64 "$@"
