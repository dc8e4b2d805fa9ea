#!/usr/bin/env bash
# End to end: the computer kept for the alarm.
#   1. As root, which may set a wake alarm: Set Alarm arms a timerfd on CLOCK_REALTIME_ALARM
#      (clock 8 in /proc/PID/fdinfo) for half a minute before the alarm's minute; Stop closes it,
#      and so does the ring.
#   2. As a user without that right (nobody, all capabilities dropped; or the user running the
#      test), against a logind of the test's own on a private system bus and a desktop of the
#      test's own on a private session bus: an alarm restored at the start asks the desktop's
#      Inhibit portal not to suspend, with a reason a person can read, finds no logind and says
#      why, once; after logind's resume signal it holds logind's idle block and sleep delay, never
#      a sleep block. A suspend announced is told once and let go at once; after the resume the
#      delay is taken again. Stop releases everything, Set Alarm takes it again, the exit releases
#      it. Without a portal the desktop's power manager is asked instead; through a ring the
#      computer, its screen and its lid are held (logind's sleep, idle and lid switch block; the
#      power manager and the screen saver), and let go when the ring is over.
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

echo "== without the right to wake the computer: the desktop's inhibition and logind's"
# The private buses, open to every user of the machine.
busdir=$(mktemp -d "${TMPDIR:-/tmp}/tollvane-bus.XXXXXX")
chmod 755 "$busdir"
trap 'session_cleanup; rm -rf "$busdir"' EXIT
start_bus() {  # start_bus TYPE: a bus daemon of that type, listening on $busdir/TYPE_bus_socket
    cat >"$busdir/$1.conf" <<XML
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>$1</type>
  <listen>unix:path=$busdir/$1_bus_socket</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow user="*"/>
    <allow own="*"/>
    <allow send_destination="*"/>
    <allow receive_sender="*"/>
  </policy>
</busconfig>
XML
    dbus-daemon --config-file="$busdir/$1.conf" --nofork --nopidfile >"$work/$1-bus.log" 2>&1 &
    pids+=($!)
    wait_for 5 test -S "$busdir/$1_bus_socket" || fail "the private $1 bus did not start"
    chmod 666 "$busdir/$1_bus_socket"
}
start_bus system
start_bus session
export DBUS_SYSTEM_BUS_ADDRESS=unix:path=$busdir/system_bus_socket
export DBUS_SESSION_BUS_ADDRESS=unix:path=$busdir/session_bus_socket

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
end_program() {
    kill -TERM "$app"
    timeout 15 tail --pid="$app" -f /dev/null || fail "the program did not end on SIGTERM"
}
# Starts the program with the alarm ALARM restored, beeping COUNT times for DURATION ms.
start_with_alarm() {
    { sed "s/alarmmusic2=100/alarmmusic2=$3/; s/alarmmusic3=1/alarmmusic3=$2/" "$work/tone.ini"
      echo "lastsettings\\timealarm=$1"; } | "${as_user[@]}" tee "$settings" >/dev/null
    start_as_user
}
# What the services hold for the program, one line each, sorted: logind's inhibitors
# (WHAT|WHO|WHY|MODE) and the desktop's (portal|FLAGS|REASON, power|APP|REASON,
# screensaver|APP|REASON), as `systemd-inhibit --list` and the desktop would show them.
desktop_state=$work/desktop.state
inhibitors() { /usr/bin/python3 "$here/logind_mock.py" inhibitors 2>/dev/null | sort; }
desktop() { sort "$desktop_state"; }
holds() { [ "$(inhibitors)" = "$1" ]; }
desktop_holds() { [ "$(desktop)" = "$1" ]; }
start_desktop() {  # start_desktop [--no-portal]
    /usr/bin/python3 "$here/desktop_mock.py" "$desktop_state" "$@" >"$work/desktop.log" 2>&1 &
    desktop_mock=$!
    pids+=($desktop_mock)
    wait_for 10 test -f "$desktop_state" || fail "the test's desktop did not start"
}
told() { grep -c "$1" "$work/tollvane.log"; }

"${as_user[@]}" mkdir -p "$(dirname "$settings")"
start_desktop
alarm_in 7200
why="Tollvane: alarm at $alarm"
start_with_alarm "$alarm" 1 100
said='may not set a wake alarm (CAP_WAKE_ALARM), and the computer may not be kept from going to sleep by itself: logind refused'
wait_for 10 grep -q "$said" "$work/tollvane.log" || fail "no word of the missing logind: $(cat "$work/tollvane.log")"
desktop_holds "portal|4|$why" || fail "the desktop holds: $(desktop)"

/usr/bin/python3 -m dbusmock --system --template logind >"$work/logind.log" 2>&1 &
pids+=($!)
wait_for 10 /usr/bin/python3 "$here/logind_mock.py" inhibitors >/dev/null 2>&1 ||
    fail "the test's logind did not start"
/usr/bin/python3 "$here/logind_mock.py" resume
waiting="idle|Tollvane|$why|block
sleep|Tollvane|$why|delay"
wait_for 5 holds "$waiting" || fail "after the resume logind holds: $(inhibitors)"
echo "while the alarm waits, logind holds:"; inhibitors
echo "and the desktop: $(desktop)"

going="the computer is going to sleep: the alarm at $alarm will not ring while it sleeps"
/usr/bin/python3 "$here/logind_mock.py" suspend
wait_for 5 holds "idle|Tollvane|$why|block" || fail "the suspend was held: $(inhibitors)"
sleep 0.3
[ "$(told "$going")" = 1 ] || fail "the suspend was not told once: $(cat "$work/tollvane.log")"
/usr/bin/python3 "$here/logind_mock.py" resume
wait_for 5 holds "$waiting" || fail "after the second resume logind holds: $(inhibitors)"
desktop_holds "portal|4|$why" || fail "after the resume the desktop holds: $(desktop)"

stop_alarm
wait_for 5 holds "" || fail "Stop left logind's inhibitors: $(inhibitors)"
wait_for 5 desktop_holds "" || fail "Stop left the desktop's: $(desktop)"
alarm_in 3600
why="Tollvane: alarm at $alarm"
set_alarm "$alarm"
wait_for 5 holds "idle|Tollvane|$why|block
sleep|Tollvane|$why|delay" || fail "after Set Alarm logind holds: $(inhibitors)"
wait_for 5 desktop_holds "portal|4|$why" || fail "after Set Alarm the desktop holds: $(desktop)"
end_program
wait_for 5 holds "" || fail "the exit left logind's inhibitors: $(inhibitors)"
wait_for 5 desktop_holds "" || fail "the exit left the desktop's: $(desktop)"
# Each reason told once in the run, however often the alarm was armed again.
grep 'may not find the computer awake' "$work/tollvane.log"
[ "$(told "$said")" = 1 ] || fail "the missing logind was not told once"
[ -z "$(sed 's/alarm at [0-9:]*//' "$work/tollvane.log" | sort | uniq -d)" ] ||
    fail "a reason was told twice"

echo "== without a portal: the power manager; through a ring, the screen saver and the lid too"
kill "$desktop_mock"
rm -f "$desktop_state"
start_desktop --no-portal
alarm_in 7200
start_with_alarm "$alarm" 6 500
wait_for 5 desktop_holds "power|Tollvane|Tollvane: alarm at $alarm" ||
    fail "without a portal the desktop holds: $(desktop)"
leave_room 12
alarm_in 0
why="Tollvane: alarm at $alarm"
stop_alarm
set_alarm "$alarm"  # the minute running: it rings at the next tick
wait_for 5 holds "sleep:idle:handle-lid-switch|Tollvane|$why|block" ||
    fail "during the ring logind holds: $(inhibitors)"
wait_for 2 desktop_holds "power|Tollvane|$why
screensaver|Tollvane|$why" || fail "during the ring the desktop holds: $(desktop)"
echo "through the ring logind holds: $(inhibitors)"
echo "and the desktop: $(desktop | tr '\n' ' ')"
wait_for 10 holds "" || fail "after the ring logind holds: $(inhibitors)"
wait_for 2 desktop_holds "" || fail "after the ring the desktop holds: $(desktop)"
end_program
[ "$(value timealarm)" = "$alarm Has Passed" ] || fail "the alarm did not ring: '$(value timealarm)'"
echo "PASS"
