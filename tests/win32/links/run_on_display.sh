#!/bin/sh
# Runs a Windows program of the cross-build under Wine with a display:
#   run_on_display.sh WINEPREFIX PROGRAM [ARGS...]
# The display is $DISPLAY when one is set, else an Xvfb started for this run; the prefix is set up
# once for windows without a window manager (wine_display.sh). Its Wine server lives for this run.
set -eu
if [ $# -lt 2 ]; then
    echo "usage: $0 WINEPREFIX PROGRAM [ARGS...]" >&2
    exit 2
fi
case $1 in
    /*) WINEPREFIX=$1 ;;
    *) WINEPREFIX=$(pwd)/$1 ;;  # Wine takes only an absolute prefix
esac
export WINEPREFIX
shift
. "$(dirname "$0")/wine_display.sh"
trap wine_display_stop EXIT
trap 'exit 130' INT TERM
wine_display_start
wine_prefix_ready
status=0
"$WINE" "$@" || status=$?
exit $status
