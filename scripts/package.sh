#!/usr/bin/env bash
# Builds the Debian package tollvane_<version>_<arch>.deb into build/package/ (or into the given
# build folder, packaging what is built there) and prints its path. Install it with
#   sudo apt-get install ./build/package/tollvane_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
if [ $# -eq 0 ]; then
    scripts/setup-debian.sh >&2
    build=build/package
    # Debian's hardening flags (fortified functions, stack protector, read-only relocations).
    CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
    LDFLAGS="$(dpkg-buildflags --get LDFLAGS)" \
        cmake --preset package >&2
    cmake --build --preset package >&2
else
    build=$1
fi
rm -f "$build"/tollvane_*.deb
(cd "$build" && cpack -G DEB >&2)
ls "$build"/tollvane_*.deb
