#!/usr/bin/env bash
# Installs what is missing, builds Tollvane and starts it (needs a desktop session).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup-debian.sh
cmake --preset dev
cmake --build --preset dev
exec build/dev/bin/tollvane
