#!/usr/bin/env bash
# Builds what a Windows user downloads, into build/windows/package/, and prints their paths:
#   tollvane-<version>-setup.exe        the installer (NSIS): per-user, no administrator rights
#   tollvane-<version>-windows-x64.zip  the portable program: the executable, the help, a read-me
# from build/windows/bin/tollvane.exe (built with the windows preset when it is missing), or from
# the executable given:   package-windows.sh [TOLLVANE_EXE]
# Needs makensis (nsis), zip, python3 and MinGW's strip, as setup-debian.sh installs them.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

version=$(sed -n 's/^project(Tollvane VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
publisher="Tollvane developers"
exe=${1:-build/windows/bin/tollvane.exe}
if [ $# -eq 0 ] && [ ! -f "$exe" ]; then
    cmake --preset windows >&2
    cmake --build --preset windows --target tollvane >&2
fi
[ -f "$exe" ] || { echo "package-windows: $exe is missing" >&2; exit 1; }
for tool in makensis zip python3 x86_64-w64-mingw32-strip; do
    command -v "$tool" >/dev/null || { echo "package-windows: $tool is missing (scripts/setup-debian.sh)" >&2; exit 1; }
done

out=$root/build/windows/package
rm -rf "$out"
mkdir -p "$out"
work=$(mktemp -d "${TMPDIR:-/tmp}/tollvane-package-windows.XXXXXX")
trap 'rm -rf "$work"' EXIT

# The executable without its symbol table: a user's copy needs none.
x86_64-w64-mingw32-strip -o "$work/tollvane.exe" "$exe"

# The program's icon for the installer and the uninstaller, packed as the program's own is.
python3 data/icons/make_ico.py "$work/tollvane.ico" data/icons/tollvane-{16,32,48,64,256}.png

setup="$out/tollvane-$version-setup.exe"
makensis -V2 -INPUTCHARSET UTF8 \
    "-DVERSION=$version" "-DPUBLISHER=$publisher" \
    "-DEXE=$work/tollvane.exe" "-DHELP=$root/docs/HelpForBrindle.HLP" \
    "-DICON=$work/tollvane.ico" "-DOUTFILE=$setup" \
    data/windows/installer.nsi >&2

# The zip unpacks into a folder of its own; its read-me has Windows line ends.
folder="Tollvane-$version"
mkdir -p "$work/zip/$folder"
cp "$work/tollvane.exe" "$work/zip/$folder/tollvane.exe"
cp docs/HelpForBrindle.HLP "$work/zip/$folder/HelpForBrindle.HLP"
sed -e "s/@VERSION@/$version/" -e 's/$/\r/' data/windows/README.txt >"$work/zip/$folder/README.txt"
zip_file="$out/tollvane-$version-windows-x64.zip"
(cd "$work/zip" && zip -q -9 -X -r "$zip_file" "$folder")

echo "$setup"
echo "$zip_file"
