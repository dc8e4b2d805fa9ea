#!/bin/sh
# `cmake --install` into a scratch prefix holds the program in the Filesystem Hierarchy layout and
# nothing else.
#   install_tree_test.sh BUILD_DIR SCRATCH IDENTIFY
set -u
build=$1 scratch=$2 identify=$3
fail() { echo "FAIL: $*"; exit 1; }
rm -rf "$scratch"
cmake --install "$build" --prefix "$scratch/usr" >"$scratch.log" 2>&1 || { cat "$scratch.log"; fail "cmake --install failed"; }
cd "$scratch/usr" || fail "no prefix"

expected="bin/tollvane
libexec/tollvane/tollvane-browser
share/applications/tollvane.desktop
share/doc/tollvane/changelog.Debian.gz
share/doc/tollvane/copyright
share/icons/hicolor/128x128/apps/tollvane.png
share/icons/hicolor/16x16/apps/tollvane.png
share/icons/hicolor/256x256/apps/tollvane.png
share/icons/hicolor/32x32/apps/tollvane.png
share/icons/hicolor/48x48/apps/tollvane.png
share/icons/hicolor/64x64/apps/tollvane.png
share/icons/hicolor/scalable/apps/tollvane.svg
share/man/man1/tollvane.1.gz
share/metainfo/com.example.tollvane.metainfo.xml
share/tollvane/HelpForBrindle.HLP"
actual=$(find . -type f -o -type l | sed 's|^\./||' | LC_ALL=C sort)
# The browser is left out of builds without Qt WebEngine.
if [ ! -e libexec/tollvane/tollvane-browser ]; then
    expected=$(echo "$expected" | grep -v tollvane-browser)
fi
[ "$actual" = "$expected" ] || {
    echo "expected:"; echo "$expected"; echo "installed:"; echo "$actual"
    fail "the install tree differs"
}
[ -x bin/tollvane ] || fail "bin/tollvane is not executable"
for size in 16 32 48 64 128 256; do
    got=$("$identify" -format '%wx%h' "share/icons/hicolor/${size}x${size}/apps/tollvane.png")
    [ "$got" = "${size}x${size}" ] || fail "the ${size}x${size} icon is $got"
done
grep -q '^Icon=tollvane$' share/applications/tollvane.desktop || fail "the menu entry names another icon"
gzip -t share/man/man1/tollvane.1.gz || fail "the manual page is not gzip"
cmp -s share/tollvane/HelpForBrindle.HLP "$(dirname "$0")/../../docs/HelpForBrindle.HLP" ||
    fail "the installed help file differs from docs/"
echo "install tree as expected ($(echo "$actual" | wc -l) files, $(du -sk . | cut -f1) KiB)"
