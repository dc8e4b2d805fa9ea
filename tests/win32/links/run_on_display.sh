#!/bin/sh
# Runs a Windows program of the cross-build under Wine with a display:
#   run_on_display.sh WINEPREFIX PROGRAM [ARGS...]
# The display is $DISPLAY when one is set, else an Xvfb started for this run. The prefix is set up
# once for windows without a window manager: Wine draws the frames itself (X11 driver Managed=N),
# with its own fonts in the prefix. Its Wine server lives for this run only.
set -eu
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
# No offer to fetch Mono or Gecko (the HTML engine), which would open dialogs of their own.
export WINEDLLOVERRIDES="mscoree,mshtml="
unset WAYLAND_DISPLAY
wine=/usr/lib/wine/wine64

work=$(mktemp -d "${TMPDIR:-/tmp}/tollvane-display.XXXXXX")
xvfb=
cleanup() {
    wineserver -k </dev/null >/dev/null 2>&1 || true
    if [ -n "$xvfb" ]; then kill "$xvfb" 2>/dev/null || true; fi
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

if [ -z "${DISPLAY:-}" ]; then
    # Xvfb picks a free display and writes its number once it accepts clients.
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" \
        </dev/null >"$work/xvfb.log" 2>&1 &
    xvfb=$!
    waited=0
    while [ ! -s "$work/display" ] && [ $waited -lt 100 ]; do
        sleep 0.1
        waited=$((waited + 1))
    done
    [ -s "$work/display" ] || { echo "run_on_display: Xvfb did not start" >&2; cat "$work/xvfb.log" >&2; exit 1; }
    DISPLAY=:$(cat "$work/display")
fi
export DISPLAY

mkdir -p "$WINEPREFIX"
wineserver -p </dev/null >/dev/null 2>&1 || true
if [ ! -e "$WINEPREFIX/.tollvane-display" ]; then
    "$wine" wineboot -i </dev/null >/dev/null 2>&1 || true
    "$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f \
        </dev/null >/dev/null 2>&1
    mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
    cp /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/"
    : >"$WINEPREFIX/.tollvane-display"
fi

status=0
"$wine" "$@" || status=$?
exit $status
