#!/usr/bin/env bash
# Installs what is missing, builds Tollvane with warnings as errors and runs every test: the core,
# the Qt layer (offscreen), the sound (a private PulseAudio with a null sink), the browser and the
# whole program under Xvfb, three minutes of random use of the program built with the sanitizers
# (scripts/monkey.sh), the install tree and the Debian package, then the core and its Windows
# adapters built with MinGW and run under Wine, three minutes of random use of tollvane.exe under
# Wine (scripts/monkey-windows.sh), and the Windows installer installed, started and removed under
# Wine. No desktop session needed.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup-debian.sh
cmake --workflow --preset ci
# Three minutes of random use of the whole program built with the sanitizers.
scripts/monkey.sh 3
scripts/tidy.sh build/ci
# The Debian package of that build: lintian, apt-get install, a start, apt-get purge (needs root).
if [ "$(id -u)" -eq 0 ]; then
  scripts/package-test.sh build/ci
else
  echo "scripts/package-test.sh skipped: it needs root"
fi
scripts/fuzz.sh 60
if [ -x scripts/windows-tests.sh ]; then
  scripts/windows-tests.sh
fi
# Three minutes of random use of tollvane.exe under Wine.
scripts/monkey-windows.sh 3
scripts/package-windows-test.sh
