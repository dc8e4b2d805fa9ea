#!/usr/bin/env bash
# The code's style: clang-format over every C++ file, then clang-tidy over the core (the models and
# handlers) with the checks in .clang-tidy; fails on any finding. Needs a configured build folder
# for its compile commands (default build/ci).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/ci}
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror
echo "clang-format: every file is formatted"
files=$(ls src/app/*.cpp src/windows/*.cpp src/alarm/*.cpp src/reminder/*.cpp src/links/*.cpp)
out=$(echo "$files" | xargs -P2 -n4 clang-tidy -p "$build" --quiet --extra-arg=-Wno-unknown-warning-option 2>/dev/null | grep -E "warning:|error:" | sort -u || true)
if [ -n "$out" ]; then
  echo "$out"
  echo "clang-tidy: findings in the core"
  exit 1
fi
echo "clang-tidy: the core is clean"
