#!/usr/bin/env bash
# End to end: the program asked to end during a long ring (20 beeps of 500 ms, ten seconds) ends
# after the tone that is sounding and saves what the user left in the window, as File > Exit
# does, instead of holding the end request until the ring is over.
#   1. SIGTERM two seconds into the ring: the program is gone within two seconds, the seven values
#      are in the settings file, the alarm saved as rung and the boxes as they stood.
#   2. The same with SIGHUP, as a closing terminal or session sends it.
#   3. The sound server freezes (SIGSTOP) two seconds into the ring, then SIGTERM: the program
#      ends within two seconds of the end of the sounding beep, with the values saved.
#   4. The same as 1 through the session's logout: a session manager of the test's own asks the
#      program to save itself for a shutdown and then to die, as a desktop does at logout.
#
#   end_during_ring_e2e_test.sh TOLLVANE HELP_FILE SESSION_MANAGER
set -u
program=$1 help=$2 manager=${3:-}
. "$(dirname "$0")/session.sh"
session_start "$program" "$help"

ring_then_end() {  # ring_then_end SIGNAL, LOGOUT, or FREEZE (the sound server, then SIGTERM)
    # An alarm stored for the minute now running rings at the first tick after the start.
    local sec=$(($(date +%s) % 60))
    [ "$sec" -lt 48 ] || sleep $((61 - sec))
    alarm=$(date +%-H:%M)
    mkdir -p "$(dirname "$settings")"
    cat >"$settings" <<INI
[vuvuririvivur]
lastsettings\\remyear=" $(date +%Y)"
lastsettings\\remmonth=" 2"
lastsettings\\remday=" 29"
lastsettings\\timealarm=$alarm
lastsettings\\alarmmusic=800
lastsettings\\alarmmusic2=500
lastsettings\\alarmmusic3=20
INI
    start_program
    echo "alarm at $alarm; $1 two seconds into the ring"
    sleep 2
    kill -0 "$app" 2>/dev/null || fail "the program ended before the end request"
    rm -f "$settings"
    local sent
    sent=$(date +%s%N)
    # Within two seconds, or two seconds after the end of the 500 ms beep sounding when the
    # sound server froze.
    local bound=2000
    case $1 in
        LOGOUT) kill -USR1 "$sm" ;;
        FREEZE) kill -STOP "$pulse"; kill -TERM "$app"; bound=2500 ;;
        *) kill "-$1" "$app" ;;
    esac
    local i
    for i in $(seq 200); do kill -0 "$app" 2>/dev/null || break; sleep 0.05; done
    [ "$1" = FREEZE ] && kill -CONT "$pulse"
    kill -0 "$app" 2>/dev/null && fail "the program is still running 10 s after $1"
    local took=$((($(date +%s%N) - sent) / 1000000))
    echo "ended $took ms after $1"
    [ "$took" -lt "$bound" ] || fail "the program took $took ms to end after $1 during the ring"
    wait "$app"
    local code=$?
    [ "$code" = 0 ] || fail "the program ended with code $code"
    check_seven_saved
    [ "$(value timealarm)" = "$alarm Has Passed" ] || fail "the alarm was saved as '$(value timealarm)'"
    [ "$(value AlarmMusic2)" = 500 ] || fail "the duration was saved as '$(value AlarmMusic2)'"
    [ "$(value AlarmMusic3)" = 20 ] || fail "the count was saved as '$(value AlarmMusic3)'"
    [ "$(value remday)" = " 29" ] || fail "the pending reminder's day was saved as '$(value remday)'"
}

echo "== SIGTERM during a ring"
ring_then_end TERM
echo "== SIGHUP during a ring"
ring_then_end HUP
echo "== the sound server freezes during a ring, then SIGTERM"
ring_then_end FREEZE
echo "== logout during a ring"
[ -x "$manager" ] || { echo "SKIP: no session manager was built (libsm-dev)"; exit 77; }
"$manager" "$work/sm-address" >"$work/session-manager.log" 2>&1 &
sm=$!
pids+=($sm)
for _ in $(seq 50); do [ -s "$work/sm-address" ] && break; sleep 0.1; done
[ -s "$work/sm-address" ] || fail "the session manager did not start"
export SESSION_MANAGER=$(cat "$work/sm-address")
ring_then_end LOGOUT
grep -q '^registered' "$work/session-manager.log" || fail "the program never joined the session"
grep -q '^save-yourself-done' "$work/session-manager.log" || fail "the program never answered the logout"
echo "PASS"
