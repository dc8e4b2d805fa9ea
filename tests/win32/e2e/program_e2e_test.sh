#!/bin/sh
# tollvane.exe under Wine, as a user meets it: started on a fresh registry, shown with the time,
# widened, switched to the clock-only window and back, About opened and closed, a second start
# that hands over to the first, an alarm set and saved at once (the Run value starts the program
# at sign-in; killed, the next start has the alarm set), values saved at File > Exit and restored
# at the next start (a start at sign-in that the user turned off is left so, and said once; Stop
# removes the Run value), and
# the end of the session, the restored alarm's wake (which Wine cannot have: the program says why
# on standard error and runs on), a ring that asks for the user's attention (the flash reaches the
# X display as a window manager's request), and the window at 144 dots per inch. Screenshots of
# the main window
# (narrow, wide and at 144 dpi), the clock-only window and About go to SHOTS.
#
# program_e2e_test.sh WINEPREFIX TOLLVANE_EXE DRIVE_EXE SHOTS [X_WATCH]
# (X_WATCH: tests/e2e/bell_watch.c built for this machine; without it the attention is not checked)
set -eu
prefix=$1 exe=$2 drive=$3 shots=$4 watch=${5:-}
mkdir -p "$shots"
err=$(mktemp)
# shellcheck source-path=SCRIPTDIR source=drive_lib.sh
. "$(dirname "$0")/drive_lib.sh"
# A screenshot of one window of the program, cut from the screen.
shot() {
    set -- "$1" "$2" $(d rect "$1")
    import -display "$DISPLAY" -window root -crop "${5}x${6}+${3}+${4}" +repage "$shots/$2.png"
}
started=""
start() {
    sh "$run" "$prefix" "$exe" 2>>"$err" &
    started=$!
    d shown frmAlarmClock 20000 || fail "the main window did not show"
}
run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
approved_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\StartupApproved\Run'
reset_start_at_sign_in() {
    sh "$run" "$prefix" reg delete "$run_key" /v Tollvane /f >/dev/null 2>&1 || true
    sh "$run" "$prefix" reg delete "$approved_key" /v Tollvane /f >/dev/null 2>&1 || true
}
cleanup() {
    [ -n "$started" ] && kill "$started" 2>/dev/null || true
    reset_start_at_sign_in
    rm -f "$out" "$err"
}
trap cleanup EXIT
# The Run value that starts the program at sign-in, or nothing.
run_value() {
    sh "$run" "$prefix" reg query "$run_key" /v Tollvane 2>/dev/null | tr -d '\r' |
        sed -n 's/^ *Tollvane *REG_SZ *//p'
}
# What the program said on standard error since the mark set by `said_from_here`.
said_from_here() { said_mark=$(wc -l <"$err"); }
said_since() { tail -n +$((said_mark + 1)) "$err"; }

sh "$run" "$prefix" reg delete 'HKCU\Software\VB and VBA Program Settings\Vuvuririvivur' /f >/dev/null 2>&1 || true
reset_start_at_sign_in
exe_path=$(sh "$run" "$prefix" winepath -w "$exe" | tr -d '\r')

echo "first start on a fresh registry"
start
sleep 1.2
clock=$(d text frmAlarmClock txttimetot)
echo "$clock" | grep -Eq '^([0-9]|1[0-9]|2[0-3]):[0-5][0-9]$' || fail "clock text '$clock'"
seconds=$(d text frmAlarmClock txttimetot2)
echo "$seconds" | grep -Eq '^:[0-5][0-9]$' || fail "seconds text '$seconds'"
am=$(d text frmAlarmClock txtam)
[ "$am" = 1 ] || fail "txtam is '$am', not 1, on a fresh start"
[ "$(d enabled frmAlarmClock CmdReset)" = 0 ] || fail "Stop is enabled after load"
shot frmAlarmClock main-narrow

echo "the reminder panel, widened"
d click frmAlarmClock cmdRem
sleep 0.3
d type frmAlarmClock TxtTime "7:30"
d type frmAlarmClock txtfreq1 "880"
d type frmAlarmClock txtdura1 "150"
d type frmAlarmClock txtam "2"
d type frmAlarmClock TxtRem "Water the plants"
sleep 0.3
shot frmAlarmClock main-wide

echo "clock only, then full view"
d menu frmAlarmClock MnuClock
d shown frmclock 5000 || fail "the clock-only window did not show"
d hidden frmAlarmClock 5000 || fail "the main window stayed"
first=$(d text frmclock txttimetot2)
echo "$first" | grep -Eq '^:[0-5][0-9]$' || fail "clock-only seconds '$first'"
sleep 1.1
[ "$(d text frmclock txttimetot2)" != "$first" ] || fail "the clock-only window's seconds stood still"
# It shows the time of day. (The hidden main window's boxes are brought up to date only when it
# is shown again, so it is not the one to compare with.)
read_around frmclock date +%-H:%M
[ "$minute" = "$between" ] || fail "the clock-only window shows $minute at $between"
shot frmclock clock-only

echo "a second start brings the full view back and ends"
sh "$run" "$prefix" "$exe" || fail "the second start failed"
d shown frmAlarmClock 5000 || fail "the second start did not bring the main window back"
d hidden frmclock 5000 || fail "the clock-only window stayed"
read_around frmAlarmClock date +%-H:%M
[ "$minute" = "$between" ] || fail "the main window, shown again, shows $minute at $between"

echo "About"
d menu frmAlarmClock MnuAbout
d shown frmAbout 5000 || fail "About did not show"
d move frmAbout 700 40
sleep 0.3
[ "$(d text frmAbout lblVersion)" = "Version 3.0.0" ] || fail "version line"
shot frmAbout about
d click frmAbout cmdOK
d hidden frmAbout 5000 || fail "OK did not close About"

echo "Help > How To... shows the help's text in a window of the program"
d menu frmAlarmClock MnuHow
d shown TollvaneHelpWindow 10000 || fail "the help window did not show"
[ "$(d title TollvaneHelpWindow)" = "Tollvane Help" ] || fail "help title '$(d title TollvaneHelpWindow)'"
d move TollvaneHelpWindow 640 20 2>/dev/null || true
sleep 0.5
shot TollvaneHelpWindow help
d close TollvaneHelpWindow

echo "the shop button opens the shop window"
d click frmAlarmClock Command1
d shown TollvaneShopWindow 10000 || fail "the shop window did not show"
[ "$(d title TollvaneShopWindow)" = "Tinkerbox" ] || fail "shop title '$(d title TollvaneShopWindow)'"
d close TollvaneShopWindow
d hidden TollvaneShopWindow 5000 || fail "the shop window stayed"

echo "Set Alarm saves it at once and starts the program at sign-in; killed, it is set again"
d click frmAlarmClock CmdSet
for _ in $(seq 20); do [ "$(reg_value timealarm)" = "7:30" ] && break; sleep 0.1; done
[ "$(reg_value timealarm)" = "7:30" ] || fail "Set Alarm did not save the alarm: '$(reg_value timealarm)'"
[ "$(reg_value AlarmMusic)" = "880" ] || fail "Set Alarm did not save the frequency"
[ "$(run_value)" = "\"$exe_path\"" ] || fail "the Run value is '$(run_value)', not \"$exe_path\""
kill -KILL "$started"
wait "$started" 2>/dev/null || true
started=""
start
[ "$(d text frmAlarmClock TxtTime)" = "7:30" ] || fail "after the kill the alarm is '$(d text frmAlarmClock TxtTime)'"
[ "$(d enabled frmAlarmClock CmdSet)" = 0 ] || fail "after the kill the alarm is not set"

echo "File > Exit saves the seven values"
d menu frmAlarmClock MnuExit
wait "$started" || fail "the program did not end cleanly"
started=""
[ "$(reg_value timealarm)" = "7:30" ] || fail "timealarm '$(reg_value timealarm)'"
[ "$(reg_value AlarmMusic)" = "880" ] || fail "AlarmMusic"
[ "$(reg_value AlarmMusic2)" = "150" ] || fail "AlarmMusic2"
[ "$(reg_value AlarmMusic3)" = "2" ] || fail "AlarmMusic3"

echo "the next start restores them, armed; the start at sign-in turned off in Task Manager stays so"
# Task Manager's "Disabled" for the program's Run value.
off=03000000102030405060d901
sh "$run" "$prefix" reg add "$approved_key" /v Tollvane /t REG_BINARY /d $off /f >/dev/null
approved() { sh "$run" "$prefix" reg query "$approved_key" /v Tollvane | tr -d '\r' | sed -n 's/^ *Tollvane *REG_BINARY *//p'; }
said_from_here
start
[ "$(d text frmAlarmClock TxtTime)" = "7:30" ] || fail "TxtTime not restored"
[ "$(d text frmAlarmClock txtfreq1)" = "880" ] || fail "txtfreq1 not restored"
[ "$(d enabled frmAlarmClock CmdSet)" = 0 ] || fail "the restored alarm is not armed"
cannot='tollvane: the alarm at 7:30 may not find the computer awake: Wine does not wake a sleeping computer for a timer'
turned_off='tollvane: the alarm at 7:30 will not ring after a restart: its start with Windows is turned off in Task Manager'
for _ in $(seq 30); do said_since | grep -qF "$cannot" && break; sleep 0.1; done
[ "$(said_since | grep -cF "$cannot")" = 1 ] || fail "the wake's refusal was not said once: $(said_since)"
[ "$(said_since | grep -cF "$turned_off")" = 1 ] || fail "the start turned off was not said once: $(said_since)"
[ "$(approved)" = "$(echo $off | tr a-f A-F)" ] || fail "the user's choice was changed: '$(approved)'"

echo "Stop: the program no longer starts at sign-in"
d click frmAlarmClock CmdReset
for _ in $(seq 20); do [ -z "$(run_value)" ] && break; sleep 0.1; done
[ -z "$(run_value)" ] || fail "the Run value is still there after Stop: '$(run_value)'"
[ "$(reg_value timealarm)" = "" ] || fail "Stop did not save the empty alarm"
[ "$(approved)" = "$(echo $off | tr a-f A-F)" ] || fail "the user's choice was changed at Stop"

echo "logging off saves and ends"
d type frmAlarmClock txtam "5"
sleep 0.2
d endsession
wait "$started" || true
started=""
[ "$(reg_value AlarmMusic3)" = "5" ] || fail "the session's end did not save"

if [ -n "$watch" ]; then
    echo "a ring asks for attention"
    sec=$(($(date +%s) % 60))
    [ "$sec" -lt 50 ] || sleep $((61 - sec))
    key='HKCU\Software\VB and VBA Program Settings\Vuvuririvivur\lastsettings'
    alarm=$(date +%-H:%M)
    sh "$run" "$prefix" reg add "$key" /v timealarm /t REG_SZ /d "$alarm" /f >/dev/null
    sh "$run" "$prefix" reg add "$key" /v AlarmMusic2 /t REG_SZ /d 300 /f >/dev/null
    watched=$(mktemp)
    "$watch" >"$watched" 2>&1 &
    watcher=$!
    start
    for _ in $(seq 50); do grep -q '^attention' "$watched" && break; sleep 0.1; done
    sleep 1.5  # the three beeps
    asked=$(sed -n 's/^attention //p' "$watched")
    kill "$watcher"
    ours=$(xdotool search --name '^Tollvane$' | while read -r w; do printf '0x%x\n' "$w"; done)
    [ -n "$asked" ] && echo "$ours" | grep -qx "$asked" || fail "no attention asked: '$asked'"
    rm -f "$watched"
    [ "$(d text frmAlarmClock TxtTime)" = "$alarm Has Passed" ] || fail "the alarm did not ring"
    [ "$(reg_value timealarm)" = "$alarm Has Passed" ] || fail "the rung alarm was not saved at once"
    [ -z "$(run_value)" ] || fail "the Run value is still there after the ring"
    d menu frmAlarmClock MnuExit
    wait "$started" || true
    started=""
fi

echo "at 144 dots per inch, everything half as large again"
desktop='HKCU\Control Panel\Desktop'
sh "$run" "$prefix" reg add "$desktop" /v LogPixels /t REG_DWORD /d 144 /f >/dev/null
start
client=$(d client frmAlarmClock)
shot frmAlarmClock main-144dpi
d close frmAlarmClock
wait "$started" || true
started=""
sh "$run" "$prefix" reg delete "$desktop" /v LogPixels /f >/dev/null
[ "$client" = "347 504" ] || fail "client area at 144 dpi: $client"
echo "PASS"
