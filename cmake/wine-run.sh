#!/bin/sh
# Runs a Windows program of the cross-build under Wine: wine-run.sh PREFIX PROGRAM [ARGS...]
# No Wine logging, and no offer to fetch Mono or Gecko. The windows go to the display of the
# tests' Wine session (wine-session.sh), if one runs.
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
unset WAYLAND_DISPLAY
if [ -f "$WINEPREFIX/.tollvane-display" ]; then
    DISPLAY=$(cat "$WINEPREFIX/.tollvane-display")
    export DISPLAY
else
    unset DISPLAY
fi
# Without a server that outlives each program, Wine starts its helper processes with every
# program, and they hold the caller's output open for seconds after the program has ended. The
# session keeps one; without it, start one that ends by itself a minute after the last program.
# (Its first program boots the prefix once; see wine-session.sh.)
if wineserver -p60 </dev/null >/dev/null 2>&1; then
    /usr/lib/wine/wine64 cmd /c exit 0 </dev/null >/dev/null 2>&1 || true
fi
exec /usr/lib/wine/wine64 "$@"
