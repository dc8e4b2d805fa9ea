#!/usr/bin/env bash
# End to end: the program in a desktop session whose manager asks it to save itself. Only the
# session's end ends the program; a checkpoint leaves it running with its values saved.
#   1. A checkpoint ("save session now"): the seven values are in the settings file, the window
#      is still there and the program still answers the session.
#   2. A logout that the user cancels: the same.
#   3. A logout: the program ends within two seconds, through its exit sequence, with the values
#      saved.
#
#   session_e2e_test.sh TOLLVANE HELP_FILE SESSION_MANAGER
set -u
program=$1 help=$2 manager=${3:-}
. "$(dirname "$0")/session.sh"
[ -x "$manager" ] || { echo "SKIP: no session manager was built (libsm-dev)"; exit 77; }
session_start "$program" "$help"

mkfifo "$work/sm-commands"
"$manager" "$work/sm-address" <"$work/sm-commands" >"$work/session-manager.log" 2>&1 &
sm=$!
pids+=($sm)
exec 7>"$work/sm-commands"
for _ in $(seq 50); do [ -s "$work/sm-address" ] && break; sleep 0.1; done
[ -s "$work/sm-address" ] || fail "the session manager did not start"
export SESSION_MANAGER=$(cat "$work/sm-address")

# Values that never ring, so nothing but the session moves them.
mkdir -p "$(dirname "$settings")"
cat >"$settings" <<'INI'
[vuvuririvivur]
lastsettings\remyear=" 2031"
lastsettings\remmonth=" 5"
lastsettings\remday=" 17"
lastsettings\timealarm=6:45 Has Passed
lastsettings\alarmmusic=700
lastsettings\alarmmusic2=120
lastsettings\alarmmusic3=4
INI
start_program
for _ in $(seq 50); do grep -q '^registered' "$work/session-manager.log" && break; sleep 0.1; done
grep -q '^registered' "$work/session-manager.log" || fail "the program never joined the session"

# The values as they were loaded, saved again by the session's request.
check_saved() {  # check_saved TIMEALARM
    local _
    for _ in $(seq 40); do [ -f "$settings" ] && break; sleep 0.05; done
    check_seven_saved
    [ "$(value timealarm)" = "$1" ] || fail "the alarm was saved as '$(value timealarm)'"
    [ "$(value AlarmMusic)" = 700 ] || fail "the frequency was saved as '$(value AlarmMusic)'"
    [ "$(value AlarmMusic3)" = 4 ] || fail "the count was saved as '$(value AlarmMusic3)'"
    [ "$(value remday)" = " 17" ] || fail "the reminder's day was saved as '$(value remday)'"
}

saves_and_goes_on() {  # saves_and_goes_on COMMAND
    local answered
    answered=$(grep -c '^save-yourself-done' "$work/session-manager.log")
    rm -f "$settings"
    echo "$1" >&7
    check_saved "6:45 Has Passed"
    for _ in $(seq 40); do
        [ "$(grep -c '^save-yourself-done success' "$work/session-manager.log")" -gt "$answered" ] && break
        sleep 0.05
    done
    [ "$(grep -c '^save-yourself-done success' "$work/session-manager.log")" -gt "$answered" ] ||
        fail "the program did not answer the $1"
    sleep 2
    kill -0 "$app" 2>/dev/null || fail "the program ended at a $1"
    xdotool search --onlyvisible --name '^Tollvane$' >/dev/null || fail "the window went at a $1"
    echo "$1: saved, still running"
}

echo "== checkpoint"
saves_and_goes_on checkpoint
echo "== logout, cancelled"
saves_and_goes_on cancelled-logout
grep -q '^shutdown-cancelled' "$work/session-manager.log" || fail "the logout was never cancelled"

echo "== logout"
rm -f "$settings"
sent=$(date +%s%N)
echo logout >&7
for _ in $(seq 200); do kill -0 "$app" 2>/dev/null || break; sleep 0.05; done
kill -0 "$app" 2>/dev/null && fail "the program is still running 10 s after the logout"
took=$((($(date +%s%N) - sent) / 1000000))
echo "ended $took ms after the logout"
[ "$took" -lt 2000 ] || fail "the program took $took ms to end after the logout"
wait "$app"
code=$?
[ "$code" = 0 ] || fail "the program ended with code $code"
check_saved "6:45 Has Passed"
grep -q '^die' "$work/session-manager.log" || fail "the session manager never told the program to die"
echo "PASS"
