# shellcheck shell=sh disable=SC2034,SC2154
# What the end-to-end runs of tollvane.exe share, sourced once `prefix` (the Wine prefix) and
# `drive` (tollvane_drive.exe) are set: the tests' display, the driver and Wine's own programs
# run in that prefix, a failure, and the program's values in the registry. `out` is a scratch
# file for the driver's output; the sourcing script removes it at its end.
here=$(cd "$(dirname "$0")" && pwd)
run="$here/../../../cmake/wine-run.sh"
out=$(mktemp)
DISPLAY=$(cat "$prefix/.tollvane-display")
export DISPLAY

fail() {
    echo "FAIL: $*" >&2
    exit 1
}
# The driver prints with Windows line ends; its exit status is kept.
d() {
    if sh "$run" "$prefix" "$drive" "$@" >"$out"; then status=0; else status=$?; fi
    tr -d '\r' <"$out"
    return $status
}
reg_value() {
    sh "$run" "$prefix" reg query 'HKCU\Software\VB and VBA Program Settings\Vuvuririvivur\lastsettings' /v "$1" 2>/dev/null |
        tr -d '\r' | sed -n "s/^ *$1 *REG_SZ *//p"
}
# Reads WINDOW's clock text into `minute` on both sides of COMMAND (whose output goes to
# `between`), again while a minute's turn splits the two, so that both belong to one minute.
read_around() {
    window=$1
    shift
    for _ in 1 2 3; do
        minute=$(d text "$window" txttimetot)
        between=$("$@")
        [ "$(d text "$window" txttimetot)" = "$minute" ] && return 0
    done
    fail "the clock of $window will not stand still"
}
