#!/usr/bin/env bash
# The Windows installer as a user meets it, under Wine on Xvfb in a fresh prefix: a silent install,
# its files, Start-menu shortcut and Apps & features entry; the program started from the shortcut
# with an alarm set (its window shown, its start at sign-in in the Run key, its values saved when
# the window is closed); an uninstall refused while the program runs; then a silent uninstall that
# leaves nothing of the program but the user's values and a pending reminder.ini (the Run value
# gone). Also the portable zip's contents.
#   package-windows-test.sh [TOLLVANE_EXE]   (default: build/windows/bin/tollvane.exe)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

mapfile -t made < <(scripts/package-windows.sh "$@")
setup=${made[0]}
zip_file=${made[1]}
echo "installer: $setup, $(stat -c %s "$setup") bytes"
echo "zip: $zip_file, $(stat -c %s "$zip_file") bytes"

work=$(mktemp -d "${TMPDIR:-/tmp}/tollvane-windows-package.XXXXXX")
# A fresh prefix with its own Wine server and an Xvfb of its own (or $DISPLAY when one is set).
# Wine draws the frames itself, without a window manager (Managed=N), with its own fonts. No offer
# to fetch Mono or Gecko, and no menu entries written into the user's own desktop for the
# prefix's shortcuts (winemenubuilder).
export WINEPREFIX=$work/prefix WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
unset WAYLAND_DISPLAY
WINE=/usr/lib/wine/wine64
xvfb=
started=
cleanup() {
    wineserver -k </dev/null >/dev/null 2>&1 || true
    if [ -n "$started" ]; then kill "$started" 2>/dev/null || true; fi
    if [ -n "$xvfb" ]; then kill "$xvfb" 2>/dev/null || true; fi
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM
trap 'echo "FAIL: a command failed at line $LINENO"' ERR
checks=0
fail() { echo "FAIL: $*"; exit 1; }
ok() { checks=$((checks + 1)); echo "ok: $*"; }
wait_until() {  # wait_until SECONDS COMMAND...: true once COMMAND succeeds
    local tenths=$(($1 * 10))
    shift
    while ! "$@"; do
        tenths=$((tenths - 1))
        [ $tenths -gt 0 ] || return 1
        sleep 0.1
    done
}

# The zip: one folder with the program, its help and the read-me.
listing=$(unzip -Z1 "$zip_file" | sort | tr '\n' ' ')
[ "$listing" = "Tollvane-3.0.0/ Tollvane-3.0.0/HelpForBrindle.HLP Tollvane-3.0.0/README.txt Tollvane-3.0.0/tollvane.exe " ] ||
    fail "the zip holds: $listing"
unzip -q "$zip_file" -d "$work/zip"
ok "the zip holds the program, the help file and the read-me"

if [ -z "${DISPLAY:-}" ]; then
    # Xvfb picks a free display and writes its number once it accepts clients.
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" </dev/null \
        >"$work/xvfb.log" 2>&1 &
    xvfb=$!
    wait_until 10 test -s "$work/display" || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
    export DISPLAY=:$(cat "$work/display")
fi
wineserver -p </dev/null >/dev/null 2>&1 || true
"$WINE" wineboot -i </dev/null >/dev/null 2>&1 || true
"$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f </dev/null >/dev/null 2>&1
mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
cp /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/"
win() { "$WINE" "$@" </dev/null 2>/dev/null | tr -d '\r'; }
unix_path() { win winepath -u "$1"; }
local_app=$(win cmd /c echo %LOCALAPPDATA%)
install_dir="$local_app\\Programs\\Tollvane"
installed=$(unix_path "$install_dir")
shortcut=$(unix_path "$(win cmd /c echo %APPDATA%)\\Microsoft\\Windows\\Start Menu\\Programs\\Tollvane.lnk")
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tollvane'
settings_key='HKCU\Software\VB and VBA Program Settings\Vuvuririvivur\lastsettings'
run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
browser_key='HKCU\Software\Microsoft\Internet Explorer\Main\FeatureControl\FEATURE_BROWSER_EMULATION'
value_of() { win reg query "$1" /v "$2" | sed -n "s/^ *$2 *REG_[A-Z_]* *//p"; }
program_running() { pgrep -f 'Programs.Tollvane.tollvane\.exe' >/dev/null; }

# Silent install, as an administrator runs it for a user; no administrator rights asked.
"$WINE" "$setup" /S </dev/null >"$work/setup.log" 2>&1 || fail "the silent install failed"
files=$(ls "$installed" | tr '\n' ' ')
[ "$files" = "HelpForBrindle.HLP tollvane.exe uninstall.exe " ] || fail "installed: $files"
cmp -s "$installed/tollvane.exe" "$work/zip/Tollvane-3.0.0/tollvane.exe" ||
    fail "the installed program is not the packaged one"
cmp -s "$installed/HelpForBrindle.HLP" docs/HelpForBrindle.HLP || fail "the help file differs"
ok "installed into $install_dir"
[ -f "$shortcut" ] || fail "no Start-menu shortcut at $shortcut"
ok "Start-menu shortcut"
[ "$(value_of "$uninstall_key" DisplayName)" = "Tollvane" ] || fail "no Apps & features entry"
[ "$(value_of "$uninstall_key" DisplayVersion)" = "3.0.0" ] || fail "the entry's version"
[ "$(value_of "$uninstall_key" Publisher)" = "Tollvane developers" ] || fail "the entry's publisher"
[ "$(value_of "$uninstall_key" UninstallString)" = "\"$install_dir\\uninstall.exe\"" ] ||
    fail "the entry's uninstaller: $(value_of "$uninstall_key" UninstallString)"
[ "$(value_of "$uninstall_key" QuietUninstallString)" = "\"$install_dir\\uninstall.exe\" /S" ] ||
    fail "the entry's silent uninstaller"
ok "Apps & features entry: Tollvane 3.0.0 by Tollvane developers, with its uninstaller"

# Started from the Start menu, as a user starts it, with an alarm set for two hours from now that
# has it start at sign-in meanwhile.
win reg add "$settings_key" /v timealarm /t REG_SZ /d "$(date -d '+2 hours' +%-H:%M)" /f >/dev/null
"$WINE" start /wait /unix "$shortcut" </dev/null >"$work/program.log" 2>&1 &
started=$!
wid=$(timeout 30 xdotool search --sync --onlyvisible --name '^Tollvane$' | head -n 1) || true
[ -n "$wid" ] || fail "the program's window did not appear"
program_running || fail "the program that runs is not the installed one"
ok "the installed program started from its shortcut: its window is shown"

# While it runs, the uninstaller refuses and leaves everything in place. (_?= runs it where it
# is and waits for it, so its answer can be read.)
if "$WINE" "$installed/uninstall.exe" /S "_?=$install_dir" </dev/null >"$work/refused.log" 2>&1; then
    fail "the uninstaller reported success while the program ran"
fi
files=$(ls "$installed" | tr '\n' ' ')
[ "$files" = "HelpForBrindle.HLP tollvane.exe uninstall.exe " ] || fail "left after a refusal: $files"
[ -f "$shortcut" ] && [ -n "$(value_of "$uninstall_key" DisplayName)" ] ||
    fail "the shortcut or the entry went while the program ran"
ok "uninstall refused while the program runs, nothing removed"

# The close box: the program saves its values and ends.
python3 -c "import sys; sys.path.insert(0, 'tests/monkey'); import xwin; xwin.Display(sys.argv[1]).close(int(sys.argv[2]))" \
    "$DISPLAY" "$wid"
wait_until 30 sh -c "! kill -0 $started 2>/dev/null" || fail "the program did not end at its close box"
started=
wait_until 10 sh -c '! pgrep -f "Programs.Tollvane.tollvane\.exe" >/dev/null' || fail "the program still runs"
for name in remyear remmonth remday timealarm AlarmMusic AlarmMusic2 AlarmMusic3; do
    win reg query "$settings_key" /v "$name" | grep -q "$name" || fail "$name was not saved at exit"
done
ok "the seven values saved under $settings_key at exit"
[ "$(value_of "$run_key" Tollvane)" = "\"$install_dir\tollvane.exe\"" ] ||
    fail "the start at sign-in is '$(value_of "$run_key" Tollvane)'"
ok "the set alarm has the installed program start at sign-in"

# A reminder waiting for its date, as the program leaves it beside itself.
printf '"Dentist at nine"\r\n' >"$installed/reminder.ini"

# Silent uninstall as Apps & features runs it: the uninstaller copies itself away and returns
# at once, so wait for it to finish.
"$WINE" "$installed/uninstall.exe" /S </dev/null >"$work/uninstall.log" 2>&1 || fail "the silent uninstall failed"
wait_until 30 sh -c "[ ! -e '$installed/uninstall.exe' ]" || fail "the uninstaller did not finish"
wait_until 10 sh -c "! '$WINE' reg query '$uninstall_key' >/dev/null 2>&1" || fail "the entry is still there"
files=$(ls -A "$installed" | tr '\n' ' ')
[ "$files" = "reminder.ini " ] || fail "left in the program's folder: $files"
[ "$(cat "$installed/reminder.ini")" = "$(printf '"Dentist at nine"\r')" ] || fail "the reminder changed"
[ ! -e "$shortcut" ] || fail "the shortcut is still there"
[ -z "$(value_of "$browser_key" tollvane.exe)" ] || fail "the browser setting is still there"
[ -z "$(value_of "$run_key" Tollvane)" ] || fail "the start at sign-in is still there"
left=$(cd "$WINEPREFIX/drive_c" && find . -iname '*tollvane*' | sort | tr '\n' ' ')
[ "$left" = "./users/$(win cmd /c echo %USERNAME%)/AppData/Local/Programs/Tollvane " ] ||
    fail "files of the program left: $left"
win regedit /E "$(win winepath -w "$work/user.reg")" HKEY_CURRENT_USER
left=$(iconv -f UTF-16LE -t UTF-8 "$work/user.reg" | tr -d '\r' | grep -i 'tollvane' || true)
[ -z "$left" ] || fail "registry entries of the program left: $left"
for name in remyear remmonth remday timealarm AlarmMusic AlarmMusic2 AlarmMusic3; do
    win reg query "$settings_key" /v "$name" | grep -q "$name" || fail "the uninstaller removed $name"
done
ok "silent uninstall: only the user's values and the pending reminder.ini are left"

echo "$checks passed, 0 failed"
