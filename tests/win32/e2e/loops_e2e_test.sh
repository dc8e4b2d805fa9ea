#!/bin/sh
# tollvane.exe under Wine in the message loops that are not its own, driven from outside as a
# user does: the seconds go on while the help window is held by its title bar or its text's scroll
# bar, while its system menu is open, while the month calendar's menu is open and while the alarm
# box's context menu is open, and an alarm that falls due with that menu open rings; a ring left
# alone for longer than Windows waits on a program that does not look at its messages is not
# counted as not responding and answers a message at once; a logoff during a ring leaves the
# alarm saved as rung (and the program no longer starts at sign-in), one with the shop window and
# a message box open ends the program at once with what it showed saved, and with that alarm still
# set the next session (Wine's, which runs the Run key after the logoff) starts the program again
# with it set; a logoff whose save fails ends the program at once too, the failure written on
# standard error rather than shown in a box that would hold up the logoff.
#
# loops_e2e_test.sh WINEPREFIX TOLLVANE_EXE DRIVE_EXE
set -eu
prefix=$1 exe=$2 drive=$3
# shellcheck source-path=SCRIPTDIR source=drive_lib.sh
. "$(dirname "$0")/drive_lib.sh"

second() { d text frmAlarmClock txttimetot2 | tr -d ':' | sed 's/^0//'; }
# Reads the clock into `minute` ("H:MM") and `sec`, both of one minute.
read_clock() {
    read_around frmAlarmClock second
    sec=$between
}
# The clock text N minutes after H:MM.
later() {
    echo "$1" | awk -F: -v n="$2" '{ m = $1 * 60 + $2 + n; printf "%d:%02d\n", (m / 60) % 24, m % 60 }'
}
# Waits until the clock shows the minute before ALARM at a second from FROM on.
await_before() {
    tries=0
    until read_clock && [ "$sec" -ge "$2" ] && [ "$(later "$minute" 1)" = "$1" ]; do
        tries=$((tries + 1))
        [ $tries -lt 400 ] || fail "the clock never came to the minute before $1"
        sleep 0.3
    done
}
started=""
err=$(mktemp)
run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
cleanup() {
    if [ -n "$started" ]; then kill "$started" 2>/dev/null || true; fi
    sh "$run" "$prefix" reg delete "$run_key" /v Tollvane /f >/dev/null 2>&1 || true
    rm -f "$out" "$err"
}
trap cleanup EXIT

sh "$run" "$prefix" reg delete 'HKCU\Software\VB and VBA Program Settings\Vuvuririvivur' /f >/dev/null 2>&1 || true
sh "$run" "$prefix" "$exe" &
started=$!
d shown frmAlarmClock 20000 || fail "the main window did not show"

# A press held (the driver's COMMAND on the help window): the seconds go on until it is let go.
press_held() {
    d "$1" TollvaneHelpWindow
    sleep 0.3
    first=$(d text frmAlarmClock txttimetot2)
    sleep 2.2
    held=$(d text frmAlarmClock txttimetot2)
    d release
    [ "$held" != "$first" ] || fail "the seconds stood at $first while $2 was held"
}
echo "the help window held by its title bar: the seconds go on"
d menu frmAlarmClock MnuHow
d shown TollvaneHelpWindow 10000 || fail "the help window did not show"
press_held hold "the help window"

# Each menu's loop is its own: the seconds go on in every one.
menu_open() {
    d shown '#32768' 2000 || fail "$1 did not open"
    first=$(d text frmAlarmClock txttimetot2)
    sleep 1.5
    [ "$(d text frmAlarmClock txttimetot2)" != "$first" ] ||
        fail "the seconds stood at $first while $1 was open"
    d escape
    d hidden '#32768' 2000 || fail "$1 did not close"
}
echo "a press held on the help text's scroll bar: the seconds go on"
press_held scrollpress "the help text's scroll bar"

echo "the help window's system menu open: the seconds go on"
d titlemenu TollvaneHelpWindow
menu_open "the help window's system menu"
d close TollvaneHelpWindow

echo "the month calendar's own menu open: the seconds go on"
d click frmAlarmClock cmdRem
d rightclick frmAlarmClock Calendar1
menu_open "the calendar's menu"

echo "an alarm set for the next minute, or the one after that late in this one"
read_clock
alarm=$(later "$minute" $((sec < 45 ? 1 : 2)))
d type frmAlarmClock TxtTime "$alarm"
d type frmAlarmClock txtfreq1 880
d type frmAlarmClock txtdura1 100
d type frmAlarmClock txtam 1
d click frmAlarmClock CmdSet
sleep 0.3
[ "$(d enabled frmAlarmClock CmdSet)" = 0 ] || fail "the alarm is not armed"

echo "the alarm box's context menu open across the alarm's minute: the seconds go on, the alarm rings"
await_before "$alarm" 55
d rightclick frmAlarmClock TxtTime
d shown '#32768' 2000 || fail "the context menu did not open"
first=$(d text frmAlarmClock txttimetot2)
sleep 1.5
[ "$(d text frmAlarmClock txttimetot2)" != "$first" ] ||
    fail "the seconds stood at $first while the context menu was open"
tries=0
until [ "$(d text frmAlarmClock TxtTime)" = "$alarm Has Passed" ]; do
    tries=$((tries + 1))
    if [ $tries -ge 25 ]; then
        fail "no ring at $alarm with the menu open: the alarm box reads" \
            "'$(d text frmAlarmClock TxtTime)', the clock $(d text frmAlarmClock txttimetot)" \
            "$(d text frmAlarmClock txttimetot2), Set enabled: $(d enabled frmAlarmClock CmdSet)"
    fi
    sleep 0.4
done
d shown '#32768' 100 || fail "the context menu closed before the ring"
d escape

echo "a logoff during a ring saves the alarm as rung, and ends at once"
clock=$alarm
d click frmAlarmClock CmdReset
d type frmAlarmClock TxtTime "$clock"
d type frmAlarmClock txtdura1 3000
d type frmAlarmClock txtam 5
d click frmAlarmClock CmdSet
sleep 2
# Ringing: the program holds, and its seconds with it.
first=$(d text frmAlarmClock txttimetot2)
sleep 1.2
[ "$(d text frmAlarmClock txttimetot2)" = "$first" ] || fail "no ring to log off from"
[ "$(d text frmAlarmClock TxtTime)" = "$clock" ] || fail "the ring ended early"
# Nothing sent to the program for longer than Windows waits before it counts a window as not
# responding (5 s): the ring still looks at its queue, and answers a message sent to it at once.
sleep 6
[ "$(d hung frmAlarmClock)" = 0 ] || fail "the ringing program counts as not responding"
took=$(d answers frmAlarmClock) || fail "the ringing program did not answer a message within a second"
echo "a message sent ten seconds into the ring answered in $took ms"
[ "$(d text frmAlarmClock TxtTime)" = "$clock" ] || fail "the ring ended before the logoff"
# Logs off (Wine's end of the session) and waits, briefly, for the program to be gone. (Wine
# then starts what the Run key names, as a new session does.)
logoff() {
    sh "$run" "$prefix" wineboot --end-session
    tries=0
    while kill -0 "$started" 2>/dev/null; do
        tries=$((tries + 1))
        [ $tries -lt 10 ] || fail "the program did not end soon after the logoff $1"
        sleep 0.2
    done
    wait "$started" || true
    started=""
}
logoff "during the ring"
[ "$(reg_value timealarm)" = "$clock Has Passed" ] ||
    fail "timealarm after a logoff during the ring: '$(reg_value timealarm)'"
[ "$(reg_value AlarmMusic3)" = 5 ] || fail "AlarmMusic3 '$(reg_value AlarmMusic3)'"
! sh "$run" "$prefix" reg query "$run_key" /v Tollvane >/dev/null 2>&1 ||
    fail "the rung alarm still has the program start at sign-in"

echo "a logoff with the shop window open and a message box waiting ends at once, values saved"
sh "$run" "$prefix" "$exe" &
started=$!
d shown frmAlarmClock 20000 || fail "the main window did not show again"
d click frmAlarmClock Command1
d shown TollvaneShopWindow 10000 || fail "the shop window did not show"
d type frmAlarmClock TxtTime 6:45
d click frmAlarmClock cmdRem
d click frmAlarmClock cmdremset  # with no reminder typed: a message box says so
d shown '#32770' 5000 || fail "no message box"
logoff "with the shop window and a message box open"
[ "$(reg_value timealarm)" = 6:45 ] || fail "timealarm after that logoff: '$(reg_value timealarm)'"

echo "the next session starts the program again, the alarm still set"
d shown frmAlarmClock 20000 || fail "the next session did not start the program"
[ "$(d text frmAlarmClock TxtTime)" = 6:45 ] || fail "started with the session: '$(d text frmAlarmClock TxtTime)'"
[ "$(d enabled frmAlarmClock CmdSet)" = 0 ] || fail "started with the session, the alarm is not set"
d menu frmAlarmClock MnuExit
tries=0
while d pid >/dev/null 2>&1; do
    tries=$((tries + 1))
    [ $tries -lt 25 ] || fail "the program started with the session did not end at File > Exit"
    sleep 0.2
done

echo "a logoff with a registry that refuses the values ends at once, the failure written, no box"
sh "$run" "$prefix" reg delete 'HKCU\Software\VB and VBA Program Settings\Vuvuririvivur' /f >/dev/null 2>&1 || true
d refusesaving
sh "$run" "$prefix" "$exe" 2>"$err" &
started=$!
d shown frmAlarmClock 20000 || fail "the main window did not show a third time"
logoff "with a registry that refuses the values"
grep -q 'tollvane: Error: Tollvane could not save its settings to HKEY_CURRENT_USER' "$err" ||
    fail "the failed save was not written: $(cat "$err")"
sh "$run" "$prefix" reg delete 'HKCU\Software\VB and VBA Program Settings\Vuvuririvivur' /f >/dev/null 2>&1 || true
echo "PASS"
