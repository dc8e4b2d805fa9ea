#!/usr/bin/env bash
# End to end: an alarm whose beeps cannot be sounded through the sound server rings the desktop's
# bell instead (one ring of the X bell per beep, counted by the X server's keyboard extension) and
# says why on standard error, once for the ring. The alarm is marked as rung all the same.
#   1. No sound server to reach.
#   2. The server's client library unusable: a libpulse.so.0 without its functions comes first
#      on the library path.
#
#   bell_e2e_test.sh TOLLVANE HELP_FILE BELL_WATCH STUB_LIBPULSE_DIR
set -u
program=$1 help=$2 watch=$3 stubs=$4
. "$(dirname "$0")/session.sh"
session_start "$program" "$help"

"$watch" >"$work/bells.log" 2>&1 &
pids+=($!)
for _ in $(seq 50); do grep -q '^watching' "$work/bells.log" && break; sleep 0.1; done
grep -q '^watching' "$work/bells.log" || fail "the bell watcher did not start"

ring_unheard() {  # ring_unheard EXPECTED_REASON: three beeps of 300 ms that cannot be heard
    # An alarm for the minute now running rings at the first tick after the start, if the start
    # ends within that minute.
    local sec=$(($(date +%s) % 60))
    [ "$sec" -lt 40 ] || sleep $((61 - sec))
    alarm=$(date +%-H:%M)
    mkdir -p "$(dirname "$settings")"
    cat >"$settings" <<INI
[vuvuririvivur]
lastsettings\\timealarm=$alarm
lastsettings\\alarmmusic=800
lastsettings\\alarmmusic2=300
lastsettings\\alarmmusic3=3
INI
    local before
    before=$(grep -c '^bell' "$work/bells.log")
    start_program
    local _
    for _ in $(seq 100); do
        [ $(($(grep -c '^bell' "$work/bells.log") - before)) -ge 3 ] && break
        sleep 0.1
    done
    sleep 1  # time for a bell too many
    kill -TERM "$app"
    wait "$app" || fail "the program ended with code $?"
    [ "$(value timealarm)" = "$alarm Has Passed" ] || fail "the alarm was saved as '$(value timealarm)'"
    local bells=$(($(grep -c '^bell' "$work/bells.log") - before))
    echo "bells: $bells"
    [ "$bells" = 3 ] || fail "the desktop's bell rang $bells times for three beeps"
    local said
    said=$(grep -c 'could not be sounded' "$work/tollvane.log")
    [ "$said" = 1 ] || fail "the failure was logged $said times in one ring"
    grep 'could not be sounded' "$work/tollvane.log"
    grep -q "$1" "$work/tollvane.log" || fail "the log does not say '$1'"
}

echo "== no sound server"
PULSE_SERVER=unix:$work/no-server ring_unheard "no sound server could be reached"

echo "== the client library unusable"
LD_LIBRARY_PATH=$stubs ring_unheard "client library cannot be loaded (libpulse.so.0 has no pa_"
echo "PASS"
