#!/bin/sh
# One program per user, as installed, on the X display that run_with_xvfb.sh gives it:
#   1. a second start exits at once with status 0 and leaves one process and one window; in clock
#      view it brings the full view back;
#   2. after `kill -9` of the first (its lock and socket left behind) a new start runs normally;
#   3. ended by SIGTERM, it removes its socket and lock.
#   single_instance_test.sh BUILD_DIR SCRATCH
set -u
build=$1 scratch=$2
for tool in xdotool xwininfo; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
fail() { echo "FAIL: $*"; cat "$scratch"/*.log 2>/dev/null | tail -n 20; exit 1; }
rm -rf "$scratch"
mkdir -p "$scratch"
cmake --install "$build" --prefix "$scratch/usr" >"$scratch/install.log" 2>&1 || fail "cmake --install failed"
program=$scratch/usr/bin/tollvane
runtime=$XDG_RUNTIME_DIR
first=
cleanup() { [ -n "$first" ] && kill -9 "$first" 2>/dev/null; }
trap cleanup EXIT

windows() { xdotool search --onlyvisible --name '^Tollvane$' 2>/dev/null | wc -l; }
processes() { pgrep -x -f "$program" | wc -l; }

start_first() {
    "$program" >"$scratch/first.log" 2>&1 &
    first=$!
    wid=$(timeout 20 xdotool search --sync --onlyvisible --name '^Tollvane$' | head -n 1)
    [ -n "$wid" ] || fail "the main window did not appear"
}

echo "== second start hands over"
start_first
[ -S "$runtime/tollvane.socket" ] || fail "no socket in the runtime folder"
[ -f "$runtime/tollvane.lock" ] || fail "no lock in the runtime folder"
begin=$(date +%s%N)
timeout 20 "$program" >"$scratch/second.log" 2>&1
status=$?
ms=$(( ($(date +%s%N) - begin) / 1000000 ))
[ "$status" = 0 ] || fail "the second start ended with status $status"
echo "second start handed over and ended in $ms ms"
sleep 0.5
kill -0 "$first" 2>/dev/null || fail "the first program ended"
[ "$(processes)" = 1 ] || fail "$(processes) programs run"
[ "$(windows)" = 1 ] || fail "$(windows) main windows are shown"
# The window names the desktop file's class, so the menu entry's StartupWMClass matches it.
xprop -id "$wid" WM_CLASS 2>/dev/null | grep -q '"Tollvane"' || fail "WM_CLASS: $(xprop -id "$wid" WM_CLASS 2>&1)"

echo "== in clock view, a second start brings the full view back"
eval "$(xdotool getwindowgeometry --shell "$wid")"
xdotool mousemove $((X + 50)) $((Y + 10)) click 1
sleep 0.5
xdotool key Down Return
clock=$(timeout 10 xdotool search --sync --onlyvisible --name '^Tollvane\(Clock View\)$' | head -n 1)
[ -n "$clock" ] || fail "View > Clock Only did not show the clock window"
[ "$(windows)" = 0 ] || fail "the main window is still shown in clock view"
timeout 20 "$program" >"$scratch/second.log" 2>&1 || fail "the second start in clock view failed"
timeout 10 xdotool search --sync --onlyvisible --name '^Tollvane$' >/dev/null ||
    fail "the main window did not come back"
sleep 0.5
[ -z "$(xdotool search --onlyvisible --name '^Tollvane\(Clock View\)$')" ] ||
    fail "the clock window is still shown after the hand-over"

echo "== a start after kill -9"
kill -9 "$first"
wait "$first" 2>/dev/null
first=
[ -e "$runtime/tollvane.socket" ] || fail "kill -9 left no socket: the stale case is not tested"
[ -e "$runtime/tollvane.lock" ] || fail "kill -9 left no lock: the stale case is not tested"
start_first
[ "$(processes)" = 1 ] || fail "$(processes) programs run"
timeout 20 "$program" >"$scratch/second.log" 2>&1 || fail "the second start after the restart failed"
[ "$(processes)" = 1 ] || fail "$(processes) programs run after a second start"

echo "== ended by SIGTERM"
kill -TERM "$first"
timeout 15 tail --pid="$first" -f /dev/null || fail "the program did not end on SIGTERM"
first=
[ ! -e "$runtime/tollvane.socket" ] || fail "the socket was left behind"
[ ! -e "$runtime/tollvane.lock" ] || fail "the lock was left behind"
rm -rf "$scratch"
echo "PASS"
