#!/usr/bin/env bash
# End to end, as a user: the built program in its own folder under Xvfb, with a private PulseAudio
# whose only output is a null sink.
#   1. First start with no settings: the narrow window appears; an alarm set for later starts the
#      program with the session (its autostart entry names it) and Stop undoes that, each saved at
#      once; File > Exit leaves the seven values in the settings file.
#   2. Through the window: ">>>", a reminder typed and stored for today (the file holds its
#      bytes), an alarm typed for the next minute and set, saved at once; the program killed
#      (SIGKILL) and started again: the alarm rings audibly, the reminder is shown (its file is
#      gone), the autostart entry is gone, and exit saves "H:MM Has Passed" and today's date.
#   3. Start with an alarm stored for the next minute (800 Hz, 200 ms, 3 beeps), a reminder for
#      today, the output muted and the user's autostart entry hidden: the alarm re-arms at load,
#      rings audibly at its minute and the output is muted again after it, the reminder is taken
#      from reminder.ini (the file is gone), the hidden entry is left as it was and the log says
#      so once, and at exit the alarm reads "H:MM Has Passed". The user is in another window
#      meanwhile: the ringing window asks for attention, without taking the keyboard.
#   4. Ended by SIGTERM, as a session ends it at logout: the values are saved all the same.
#
#   program_e2e_test.sh TOLLVANE HELP_FILE TONE_CHECK ARTIFACT_DIR [WATCH]
#   (WATCH: tests/e2e/bell_watch.c built; without it the attention is not checked)
set -u
program=$1 help=$2 check=$3 artifacts=$4 watch=${5:-}
. "$(dirname "$0")/session.sh"
session_require parecord desktop-file-validate
mkdir -p "$artifacts"
session_start "$program" "$help"

# File > Exit with the mouse and keyboard, as a user would.
exit_program() {
    eval "$(xdotool getwindowgeometry --shell "$wid")"
    xdotool mousemove $((X + 15)) $((Y + 10)) click 1
    sleep 0.5
    xdotool key Down Return
    timeout 15 tail --pid="$app" -f /dev/null || fail "the program did not end after File > Exit"
}

# Waits up to two seconds for a condition, given as a command.
within_2s() {
    local _
    for _ in $(seq 20); do "$@" && return 0; sleep 0.1; done
    "$@"
}
entry=$XDG_CONFIG_HOME/autostart/tollvane.desktop

echo "== first start with no settings"
start_program
eval "$(xdotool getwindowgeometry --shell "$wid")"
[ "$WIDTH" = 231 ] || fail "the window is $WIDTH pixels wide, not the narrow 231"
sleep 1.5
import -window root "$artifacts/first-start.png" 2>/dev/null || true
later=$(date -d '+2 hours' +%-H:%M)
click_at 64 137                       # the alarm box
xdotool type --delay 20 "$later"
click_at 60 306                       # Set Alarm
within_2s test -f "$entry" || fail "Set Alarm made no autostart entry"
grep -qx "Exec=\"$bin/tollvane\"" "$entry" && grep -qx "TryExec=$bin/tollvane" "$entry" ||
    fail "the autostart entry does not name the program: $(cat "$entry")"
desktop-file-validate "$entry" || fail "the autostart entry is not valid"
[ "$(value timealarm)" = "$later" ] || fail "Set Alarm did not save the alarm: '$(value timealarm)'"
click_at 172 306                      # Stop
within_2s test ! -e "$entry" || fail "the autostart entry is still there after Stop"
[ "$(value timealarm)" = "" ] || fail "Stop did not save the empty alarm: '$(value timealarm)'"
exit_program
check_seven_saved
[ "$(value AlarmMusic3)" = 1 ] || fail "the count box was not saved as 1"

record() {
    parecord --raw --device=e2e.monitor --format=float32le --rate=$rate --channels=1 \
        --latency-msec=20 >"$1" 2>"$work/parecord.log" &
    recorder=$!
    pids+=($recorder)
}

wait_for_ring() {
    echo "alarm set for $alarm; waiting $((ring_at - $(date +%s))) s"
    while [ "$(date +%s)" -lt $((ring_at + 3)) ]; do sleep 0.5; done
}

# After the ring: the reminder was taken from its file, File > Exit saves the rung alarm, and the
# recording RAW holds the three beeps. SHOT names the screenshot.
check_ring() {
    import -window root "$artifacts/$1.png" 2>/dev/null || true
    [ ! -e "$work/bin/reminder.ini" ] || fail "the reminder was not shown (reminder.ini is still there)"
    exit_program
    kill -INT "$recorder"; wait "$recorder" 2>/dev/null
    [ "$(value timealarm)" = "$alarm Has Passed" ] || fail "the alarm text at exit is '$(value timealarm)'"
    "$check" "$2" $rate 3 800 200 || fail "the recording does not hold the three beeps"
}

echo "== a reminder and an alarm set through the window"
next_minute 20
cat >"$settings" <<INI
[vuvuririvivur]
lastsettings\\alarmmusic=800
lastsettings\\alarmmusic2=200
lastsettings\\alarmmusic3=3
INI
record "$work/ui-ring.raw"
start_program
click_at 226 192                      # ">>>": the calendar, on today
click_at 400 256                      # the reminder box
xdotool type --delay 20 "Dentist at 4"
click_at 392 308                      # Set Reminder
box=$(timeout 10 xdotool search --sync --onlyvisible --name '^Status:$' | head -n 1)
[ -n "$box" ] || fail "no success message after Set Reminder"
cmp -s "$work/bin/reminder.ini" <(printf '"Dentist at 4"\r\n') || fail "reminder.ini does not hold the text"
eval "$(xdotool getwindowgeometry --shell "$box")"
xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) key Return
sleep 0.5
click_at 64 137                       # the alarm box
xdotool type --delay 20 "$alarm"
click_at 60 306                       # Set Alarm
within_2s test "$(value timealarm)" = "$alarm" || fail "Set Alarm did not save the alarm at once"
kill -KILL "$app"
wait "$app" 2>/dev/null
start_program
wait_for_ring
[ ! -e "$entry" ] || fail "the autostart entry is still there after the ring"
check_ring reminder-shown "$work/ui-ring.raw"
[ "$(value remday)" = " $(date +%-d)" ] || fail "the reminder date was not saved: '$(value remday)'"

echo "== restart: an alarm stored for the next minute re-arms, a stored reminder for today"
next_minute 5
cat >"$settings" <<INI
[vuvuririvivur]
lastsettings\\remyear=" $(date +%Y)"
lastsettings\\remmonth=" $(date +%-m)"
lastsettings\\remday=" $(date +%-d)"
lastsettings\\timealarm=$alarm
lastsettings\\alarmmusic=800
lastsettings\\alarmmusic2=200
lastsettings\\alarmmusic3=3
INI
printf '"Dentist at 4"\r\n' >"$work/bin/reminder.ini"
mkdir -p "$(dirname "$entry")"
printf '[Desktop Entry]\nType=Application\nName=Tollvane\nExec=tollvane\nHidden=true\n' >"$entry"
cp "$entry" "$work/hidden.desktop"
pactl set-sink-mute e2e 1
record "$work/ring.raw"
start_program
if [ -n "$watch" ]; then
    "$watch" >"$work/watch.log" 2>&1 &
    pids+=($!)
    xlogo -geometry 200x200+600+400 &
    pids+=($!)
    other=$(timeout 10 xdotool search --sync --onlyvisible --name '^xlogo$' | head -n 1)
    [ -n "$other" ] || fail "the other window did not appear"
    xdotool windowfocus --sync "$other"
fi
wait_for_ring
if [ -n "$watch" ]; then
    grep -q "^attention $(printf '0x%x' "$wid")\$" "$work/watch.log" ||
        fail "the ringing window did not ask for attention: $(cat "$work/watch.log")"
    [ "$(xdotool getwindowfocus)" = "$other" ] || fail "the ring took the keyboard"
fi
check_ring after-ring "$work/ring.raw"
[ "$(value remyear)" = " $(date +%Y)" ] || fail "the reminder year was not kept: '$(value remyear)'"
[ "$(pactl get-sink-mute e2e)" = "Mute: yes" ] || fail "the output is not muted again after the ring"
cmp -s "$entry" "$work/hidden.desktop" || fail "the user's hidden autostart entry was changed"
[ "$(grep -c 'turned off in .*(Hidden=true)' "$work/tollvane.log")" = 1 ] ||
    fail "the hidden entry was not told of once: $(cat "$work/tollvane.log")"
rm "$entry"

echo "== ended from outside (SIGTERM, as at logout): the values are saved as by File > Exit"
start_program
rm -f "$settings"
kill -TERM "$app"
timeout 15 tail --pid="$app" -f /dev/null || fail "the program did not end on SIGTERM"
[ "$(value timealarm)" = "$alarm Has Passed" ] || fail "SIGTERM did not save the alarm: '$(value timealarm)'"
[ "$(value AlarmMusic)" = 800 ] || fail "SIGTERM did not save the frequency"
echo "PASS"
