#!/usr/bin/env bash
# End to end: the computer kept for the alarm.
#   1. As root, which may set a wake alarm: Set Alarm arms a timerfd on CLOCK_REALTIME_ALARM
#      (clock 8 in /proc/PID/fdinfo) for half a minute before the alarm's minute; Stop closes it,
#      and so does the ring.
#   2. As a user without that right (nobody, all capabilities dropped; or the user running the
#      test), against a logind of the test's own on a private system bus: an alarm restored at the
#      start finds no logind and says why, once; after logind's resume signal the program takes
#      its sleep inhibitor with a reason a person can read; Stop releases it, Set Alarm takes it
#      again, the exit releases it. Through a ring it holds a sleep and idle inhibitor instead.
#
#   wake_e2e_test.sh TOLLVANE HELP_FILE
set -u
program=$1 help=$2
here=$(dirname "$(readlink -f "$0")")
. "$here/session.sh"
session_require setpriv dbus-daemon
[ -x /usr/bin/python3 ] && /usr/bin/python3 -c 'import dbusmock' 2>/dev/null ||
    { echo "SKIP: python3-dbusmock is not installed"; exit 77; }
session_start "$program" "$help"

set_alarm() {  # set_alarm H:MM: typed into the alarm box, then Set Alarm
    click_at 64 137
    xdotool key ctrl+a BackSpace type --delay 20 "$1"
    click_at 60 306
}
stop_alarm() { click_at 160 306; }
# The alarm text of a time SECONDS from now, and the wall clock's second at which that minute
# begins.
alarm_in() {
    local at=$(($(date +%s) + $1))
    alarm=$(date -d "@$at" +%-H:%M)
    minute_start=$((at - at % 60))
}
# Waits until at least $1 seconds of the current minute are left.
leave_room() {
    local sec=$(($(date +%s) % 60))
    [ $((60 - sec)) -ge "$1" ] || sleep $((61 - sec))
}
wait_for() {  # wait_for SECONDS COMMAND...: until the command succeeds
    local n=$(($1 * 10)); shift
    for _ in $(seq "$n"); do "$@" && return 0; sleep 0.1; done
    return 1
}
# The remaining time of the program's wake alarm, as "SECONDS NANOSECONDS"; nothing without one.
wake_alarm() {
    local f
    for f in /proc/"$app"/fdinfo/*; do
        grep -qx 'clockid: 8' "$f" 2>/dev/null || continue
        sed -n 's/^it_value: (\([0-9]*\), \([0-9]*\))$/\1 \2/p' "$f"
    done
}
no_wake_alarm() { [ -z "$(wake_alarm)" ]; }
cat >"$work/tone.ini" <<INI
[vuvuririvivur]
lastsettings\\alarmmusic=800
lastsettings\\alarmmusic2=100
lastsettings\\alarmmusic3=1
INI

if [ "$(id -u)" = 0 ]; then
    echo "== as root: a wake alarm on clock 8, for the alarm minute less half a minute"
    mkdir -p "$(dirname "$settings")"
    cp "$work/tone.ini" "$settings"
    start_program
    alarm_in 7200
    set_alarm "$alarm"
    wait_for 5 test -n "$(wake_alarm)" || fail "no timerfd on CLOCK_REALTIME_ALARM after Set Alarm"
    read -r left _ <<<"$(wake_alarm)"
    expected=$((minute_start - 30 - $(date +%s)))
    echo "alarm $alarm: the wake alarm comes in $left s, $expected s expected"
    [ $((left - expected)) -le 2 ] && [ $((expected - left)) -le 2 ] ||
        fail "the wake alarm comes in $left s, not $expected s"
    grep -q 'may not find the computer awake' "$work/tollvane.log" &&
        fail "a wake that can be had was reported as refused: $(cat "$work/tollvane.log")"
    stop_alarm
    wait_for 5 no_wake_alarm || fail "Stop left the wake alarm armed"
    leave_room 12
    alarm_in 0
    set_alarm "$alarm"  # the minute running: it rings at the next tick
    wait_for 5 no_wake_alarm || fail "the wake alarm is still there after the ring"
    kill -TERM "$app"
    timeout 15 tail --pid="$app" -f /dev/null || fail "the program did not end on SIGTERM"
    [ "$(value timealarm)" = "$alarm Has Passed" ] || fail "the alarm did not ring: '$(value timealarm)'"
fi

echo "== without the right to wake the computer: logind's sleep inhibitor"
# The private system bus, open to every user of the machine.
busdir=$(mktemp -d "${TMPDIR:-/tmp}/tollvane-bus.XXXXXX")
chmod 755 "$busdir"
trap 'session_cleanup; rm -rf "$busdir"' EXIT
cat >"$busdir/bus.conf" <<XML
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>system</type>
  <listen>unix:path=$busdir/system_bus_socket</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow user="*"/>
    <allow own="*"/>
    <allow send_destination="*"/>
    <allow receive_sender="*"/>
  </policy>
</busconfig>
XML
dbus-daemon --config-file="$busdir/bus.conf" --nofork --nopidfile >"$work/bus.log" 2>&1 &
pids+=($!)
export DBUS_SYSTEM_BUS_ADDRESS=unix:path=$busdir/system_bus_socket
wait_for 5 test -S "$busdir/system_bus_socket" || fail "the private system bus did not start"
chmod 666 "$busdir/system_bus_socket"

# The program's own folder and home, for the user who runs it.
as_user=()
user_home=$work/home
if [ "$(id -u)" = 0 ]; then
    chmod 755 "$work"
    user_home=$busdir/home
    mkdir -m 700 "$user_home" "$busdir/runtime"
    cp -r "$bin" "$busdir/bin"
    chown -R nobody:nogroup "$user_home" "$busdir/runtime" "$busdir/bin"
    bin=$busdir/bin
    settings=$user_home/config/Tollvane/settings.ini
    as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups --inh-caps=-all
             env HOME="$user_home" XDG_RUNTIME_DIR="$busdir/runtime"
             XDG_CONFIG_HOME="$user_home/config" XDG_DATA_HOME="$user_home/data")
fi
start_as_user() {
    "${as_user[@]}" "$bin/tollvane" >"$work/tollvane.log" 2>&1 &
    app=$!
    pids+=($app)
    wid=$(timeout 20 xdotool search --sync --onlyvisible --name '^Tollvane$' | head -n 1)
    [ -n "$wid" ] || fail "the main window did not appear"
}
inhibitors() { /usr/bin/python3 "$here/logind_mock.py" inhibitors; }
holds() { [ "$(inhibitors)" = "$1" ]; }

alarm_in 7200
"${as_user[@]}" mkdir -p "$(dirname "$settings")"
{ cat "$work/tone.ini"; echo "lastsettings\\timealarm=$alarm"; } | "${as_user[@]}" tee "$settings" >/dev/null
start_as_user
said='may not set a wake alarm (CAP_WAKE_ALARM), and logind cannot keep the computer from sleeping'
wait_for 10 grep -q "$said" "$work/tollvane.log" || fail "no word of the missing logind: $(cat "$work/tollvane.log")"

/usr/bin/python3 -m dbusmock --system --template logind >"$work/logind.log" 2>&1 &
pids+=($!)
wait_for 10 inhibitors >/dev/null 2>&1 || fail "the test's logind did not start"
/usr/bin/python3 "$here/logind_mock.py" resume
wait_for 5 holds "sleep|Tollvane|Tollvane: alarm at $alarm|block" ||
    fail "after the resume the inhibitors are: $(inhibitors)"
stop_alarm
wait_for 5 holds "" || fail "Stop left the inhibitors: $(inhibitors)"
alarm_in 3600
set_alarm "$alarm"
wait_for 5 holds "sleep|Tollvane|Tollvane: alarm at $alarm|block" ||
    fail "after Set Alarm the inhibitors are: $(inhibitors)"
kill -TERM "$app"
timeout 15 tail --pid="$app" -f /dev/null || fail "the program did not end on SIGTERM"
wait_for 5 holds "" || fail "the exit left the inhibitors: $(inhibitors)"
# Each reason told once in the run, however often the alarm was armed again.
grep 'may not find the computer awake' "$work/tollvane.log"
[ "$(grep -c "$said" "$work/tollvane.log")" = 1 ] || fail "the missing logind was not told once"
[ -z "$(sed 's/alarm at [0-9:]*//' "$work/tollvane.log" | sort | uniq -d)" ] ||
    fail "a reason was told twice"

echo "== through a ring: a sleep and idle inhibitor"
leave_room 15
alarm_in 0
{ sed 's/alarmmusic2=100/alarmmusic2=500/; s/alarmmusic3=1/alarmmusic3=8/' "$work/tone.ini"
  echo "lastsettings\\timealarm=$alarm"; } | "${as_user[@]}" tee "$settings" >/dev/null
start_as_user
wait_for 5 holds "sleep:idle|Tollvane|Tollvane: alarm at $alarm|block" ||
    fail "during the ring the inhibitors are: $(inhibitors)"
wait_for 10 holds "" || fail "after the ring the inhibitors are: $(inhibitors)"
kill -TERM "$app"
timeout 15 tail --pid="$app" -f /dev/null || fail "the program did not end on SIGTERM"
[ "$(value timealarm)" = "$alarm Has Passed" ] || fail "the alarm did not ring: '$(value timealarm)'"
echo "PASS"
