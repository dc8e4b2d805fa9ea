#!/bin/sh
# tollvane.exe as unpacked from its zip into a folder that also holds libraries named as the
# system's ones (comctl32, msimg32, powrprof, uxtheme, msftedit), as another download could:
# started, with About and the help opened, an alarm set and File > Exit chosen, it loads none of
# them, and each would have left a mark beside itself had it been loaded.
#
# planted_dll_e2e_test.sh WINEPREFIX TOLLVANE_EXE DRIVE_EXE PLANTED_DLL
set -eu
prefix=$1 exe=$2 drive=$3 planted=$4
# shellcheck source-path=SCRIPTDIR source=drive_lib.sh
. "$(dirname "$0")/drive_lib.sh"
folder=$(mktemp -d "$(dirname "$exe")/planted.XXXXXX")
started=""
# The alarm set here is not left for the next test to find.
forget_values() {
    sh "$run" "$prefix" reg delete 'HKCU\Software\VB and VBA Program Settings\Vuvuririvivur' /f \
        >/dev/null 2>&1 || true
}
cleanup() {
    [ -n "$started" ] && kill "$started" 2>/dev/null || true
    forget_values
    rm -rf "$folder" "$out"
}
trap cleanup EXIT

cp "$exe" "$folder/tollvane.exe"
cp "$(dirname "$exe")/HelpForBrindle.HLP" "$folder/"
for name in comctl32 msimg32 powrprof uxtheme msftedit; do
    cp "$planted" "$folder/$name.dll"
done

sh "$run" "$prefix" "$folder/tollvane.exe" &
started=$!
# What goes wrong on the way is told after the marks, which say why.
problems=""
d shown frmAlarmClock 20000 || fail "the program did not show its window"
d menu frmAlarmClock MnuAbout
d shown frmAbout 5000 || problems="$problems; About did not show"
d click frmAbout cmdOK || true
d menu frmAlarmClock MnuHow
d shown TollvaneHelpWindow 5000 || problems="$problems; the help did not show"
d type frmAlarmClock TxtTime "23:59"
d click frmAlarmClock CmdSet
sleep 0.5
d menu frmAlarmClock MnuExit
wait "$started" || true
started=""

marks=$(find "$folder" -name '*.loaded' -exec basename {} \;)
[ -z "$marks" ] || fail "loaded from beside the program: $(echo "$marks" | tr '\n' ' ')"
[ -z "$problems" ] || fail "${problems#; }"
echo "PASS: none of the planted libraries was loaded"
