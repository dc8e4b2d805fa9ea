#!/usr/bin/env bash
# Installs what is missing, builds Tollvane and starts it (needs a desktop session).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup-debian.sh
cmake --preset dev
# The program and the shop window's browser only: the tests are scripts/test.sh's to build.
cmake --build --preset dev --target tollvane tollvane-browser
exec build/dev/bin/tollvane
