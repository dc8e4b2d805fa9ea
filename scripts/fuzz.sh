#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs each for a share of SECONDS (default 60 in all).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
cmake -S tests/fuzz -B build/fuzz -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/fuzz -j2
if [ "$seconds" = 0 ]; then exit 0; fi  # 0 seconds: the build alone
targets=(fuzz_reminder_reader fuzz_number_text fuzz_help_text)
[ -x build/fuzz/fuzz_settings_file ] && targets+=(fuzz_settings_file)
each=$((seconds / ${#targets[@]}))
for t in "${targets[@]}"; do
  mkdir -p "build/fuzz/corpus/$t"
  echo "== $t for ${each}s"
  status=0
  QT_QPA_PLATFORM=offscreen "build/fuzz/$t" -max_total_time="$each" -max_len=4096 \
    -print_final_stats=1 -artifact_prefix=build/fuzz/ "build/fuzz/corpus/$t" \
    >"build/fuzz/$t.log" 2>&1 || status=$?
  grep -E "^stat::(number_of_executed_units|peak_rss_mb)" "build/fuzz/$t.log" || true
  if [ "$status" -ne 0 ]; then
    tail -40 "build/fuzz/$t.log"
    echo "fuzzing found a fault in $t (exit $status)"
    exit 1
  fi
done
