#!/usr/bin/env bash
# The Debian package as a user meets it (root only; CI runs it): built from a build folder with
# CPack, checked by lintian (no error), installed with apt-get, started from /usr/bin under Xvfb
# with its help found in /usr/share/tollvane and a second start handed over, then purged; the
# machine is left as it was: no file of the package stays behind.
# Every failing step is reported by name; none ends the script without a word.
#   package-test.sh [BUILD_DIR]   (default build/ci)
set -Eeuo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/ci}
[ "$(id -u)" -eq 0 ] || { echo "package-test: needs root (apt-get install)"; exit 1; }
# Any trace of a package of that name (installed, half-installed, its configuration files left).
state=$(dpkg-query -W -f='${db:Status-Status}' tollvane 2>/dev/null || true)
if [ -n "$state" ] && [ "$state" != not-installed ]; then
    echo "package-test: a tollvane package is on this machine already ($state); not touching it"
    exit 1
fi
work=$(mktemp -d "${TMPDIR:-/tmp}/tollvane-package.XXXXXX")
installed=0
pid=
cleanup() {
    [ -n "$pid" ] && kill -9 "$pid" 2>/dev/null
    if [ "$installed" = 1 ]; then
        DEBIAN_FRONTEND=noninteractive apt-get purge -y -q tollvane >/dev/null 2>&1 || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; tail -n 20 "$work"/*.log 2>/dev/null || true; exit 1; }
# A command that fails where no check of its own reports it still names itself.
trap 'fail "line $LINENO: $BASH_COMMAND (exit status $?)"' ERR

deb=$(scripts/package.sh "$build" 2>"$work/cpack.log") || fail "cpack failed"
echo "package: $deb, $(stat -c %s "$deb") bytes, installed size $(dpkg-deb -f "$deb" Installed-Size) KiB"
# lintian's status is 1 when it reports errors, which the check below names; above that it could
# not check the package at all. A clean package prints nothing.
lintian_status=0
lintian --tag-display-limit 0 "$deb" >"$work/lintian.log" 2>&1 || lintian_status=$?
grep -v 'running with root privileges' "$work/lintian.log" || true
[ "$lintian_status" -le 1 ] || fail "lintian could not check the package (exit status $lintian_status)"
if grep -q '^E:' "$work/lintian.log"; then fail "lintian reports errors"; fi
echo "lintian: no errors"
dpkg-deb -f "$deb" Depends | grep -qw fonts-wine || fail "the package does not depend on fonts-wine"

DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "./$deb" \
    >"$work/apt.log" 2>&1 || fail "apt-get install failed"
installed=1
dpkg -L tollvane >"$work/files"
for f in /usr/bin/tollvane /usr/share/applications/tollvane.desktop \
         /usr/share/icons/hicolor/48x48/apps/tollvane.png /usr/share/tollvane/HelpForBrindle.HLP; do
    [ -e "$f" ] || fail "$f is not installed"
done

# Started as a user starts it from the menu, with scratch per-user folders.
cat >"$work/run.sh" <<'INNER'
set -u
tollvane >"$WORK/tollvane.log" 2>&1 &
pid=$!
wid=$(timeout 20 xdotool search --sync --onlyvisible --name '^Tollvane$' | head -n 1)
[ -n "$wid" ] || { echo "FAIL: no main window"; exit 1; }
timeout 20 tollvane || { echo "FAIL: the second start failed"; exit 1; }
sleep 0.5
# Processes of the installed program (other copies of Tollvane on this machine run elsewhere).
running=$(for e in /proc/[0-9]*/exe; do readlink "$e" 2>/dev/null; done | grep -c '^/usr/bin/tollvane$')
[ "$running" = 1 ] || { echo "FAIL: $running programs run"; exit 1; }
# Help > How To... opens the installed help file.
eval "$(xdotool getwindowgeometry --shell "$wid")"
xdotool mousemove $((X + 90)) $((Y + 10)) click 1
sleep 0.5
xdotool key Down Return
help=$(timeout 10 xdotool search --sync --onlyvisible --name '^Tollvane Help' | head -n 1)
[ -n "$help" ] || { echo "FAIL: the help window did not open"; exit 1; }
title=$(xdotool getwindowname "$help")
[ "$title" = "Tollvane Help" ] || { echo "FAIL: the help window reads: $title"; exit 1; }
kill -TERM "$pid"
timeout 15 tail --pid="$pid" -f /dev/null || { echo "FAIL: did not end on SIGTERM"; exit 1; }
# The faces its captions are set in came with the package's dependencies.
if grep -q 'fonts-wine' "$WORK/tollvane.log"; then
    echo "FAIL: $(cat "$WORK/tollvane.log")"
    exit 1
fi
echo "started, handed over a second start, opened its help, ended"
INNER
WORK=$work HOME=$work timeout 120 \
    sh tests/browser/run_with_xvfb.sh 100 sh "$work/run.sh" >"$work/run.log" 2>&1 || { cat "$work/run.log"; fail "the installed program"; }
cat "$work/run.log"

DEBIAN_FRONTEND=noninteractive apt-get purge -y -q tollvane >"$work/purge.log" 2>&1 ||
    fail "apt-get purge failed"
installed=0
left=$(while read -r f; do [ -f "$f" ] && echo "$f"; done <"$work/files" || true)
[ -z "$left" ] || fail "files left behind: $left"
echo "PASS: installed, started and removed; nothing left behind"
