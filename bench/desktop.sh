#!/usr/bin/env bash
# Start-up, memory and idle cost of the built program, and how soon after each real second its
# figures change, measured from outside under a private Xvfb by the team's desktop-bench tool
# (../shared/tools beside the checkout). Prints figures; asserts nothing.
#
#   bench/desktop.sh [BUILD_DIR]      (default build/ci)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/ci}
tool=../shared/tools/desktop-bench.sh
[ -x "$tool" ] || { echo "desktop-bench not found at $tool"; exit 1; }
config=$(mktemp -d)
trap 'rm -rf "$config"' EXIT
echo "== start-up, memory, idle cost (5 runs)"
XDG_CONFIG_HOME=$config "$tool" -n 5 -p '^Tollvane$' -- "$build/bin/tollvane" | grep -v '^#'
echo "== figures against the real second (30 s); the text cursor's blinks show as changes ~400 and ~900 ms in"
XDG_CONFIG_HOME=$config "$tool" -v -n 1 -a 30 -p '^Tollvane$' -- "$build/bin/tollvane" |
  awk '/^#   [0-9]/ { split($2, a, "."); ms = a[2] + 0; if (ms < 100) { n++; s += ms; if (ms > m) m = ms } }
       END { printf "second changes drawn within 100 ms of the second: %d, mean %.1f ms, max %d ms\n", n, s / n, m }'
