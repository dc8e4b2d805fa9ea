#!/usr/bin/env bash
# The code's style: clang-format over every C++ file, then clang-tidy with the checks in .clang-tidy
# over the core (the models and handlers) and the Linux adapters (src/platform/qt and
# src/platform/pulse: the ring's thread, the signal handler, the sound server). The Windows
# adapters are built by MinGW only, so they have no compile commands here. Fails on any finding,
# and also when either tool cannot run: a check that did not run has not passed. Needs a
# configured build folder for its compile commands (default build/ci).
#   tidy.sh [--list] [BUILD_DIR]   --list: only print the files clang-tidy would check
set -euo pipefail
cd "$(dirname "$0")/.."
list_only=0
if [ "${1:-}" = --list ]; then
  list_only=1
  shift
fi
build=${1:-build/ci}
files=(src/app/*.cpp src/windows/*.cpp src/alarm/*.cpp src/reminder/*.cpp src/links/*.cpp
       src/platform/qt/*.cpp src/platform/pulse/*.cpp)
if [ "$list_only" = 1 ]; then
  printf '%s\n' "${files[@]}"
  exit 0
fi
for tool in clang-format clang-tidy; do
  command -v "$tool" >/dev/null || { echo "tidy: $tool is not installed" >&2; exit 1; }
done
[ -f "$build/compile_commands.json" ] || { echo "tidy: no $build/compile_commands.json" >&2; exit 1; }

git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror
echo "clang-format: every file is formatted"

log=$(mktemp)
trap 'rm -f "$log"' EXIT
status=0
printf '%s\n' "${files[@]}" |
  xargs -P2 -n4 clang-tidy -p "$build" --quiet --extra-arg=-Wno-unknown-warning-option \
    >"$log" 2>&1 || status=$?
findings=$(grep -E "(warning|error):" "$log" | sort -u || true)
if [ -n "$findings" ]; then
  echo "$findings"
  echo "clang-tidy: findings in the core or the Linux adapters"
  exit 1
fi
if [ "$status" -ne 0 ]; then
  cat "$log"
  echo "clang-tidy: did not run to its end (exit status $status)"
  exit 1
fi
echo "clang-tidy: the core and the Linux adapters are clean"
