#!/usr/bin/env bash
# Installs what is missing, builds Tollvane with warnings as errors and runs every test: the core,
# the Qt layer (offscreen), the sound (a private PulseAudio with a null sink), the browser and the
# whole program under Xvfb, the style check, the install tree and the Debian package, then the core
# and its Windows adapters built with MinGW and run under Wine, then three minutes of random use of
# the program built with the sanitizers (scripts/monkey.sh) side by side with three minutes of
# random use of tollvane.exe under Wine (scripts/monkey-windows.sh) and a minute of fuzzing, and
# last the Windows installer installed, started and removed under Wine. No desktop session needed.
# Each step's time is printed at the end.
set -euo pipefail
cd "$(dirname "$0")/.."
times=()
step() {  # step NAME COMMAND...: runs COMMAND and notes how long it took
  local name=$1 start=$SECONDS
  shift
  echo "== test.sh: $name"
  "$@"
  times+=("$(printf '%5d s  %s' $((SECONDS - start)) "$name")")
}
# At the end, a failed run repeats what its failed tests printed, where the run's last lines show it.
began=$(mktemp)
report() {
  local status=$?
  if [ "$status" -ne 0 ]; then
    find build -path '*/Testing/Temporary/LastTestsFailed.log' -newer "$began" 2>/dev/null |
      while read -r failed; do scripts/failed-tests.sh "${failed%/Testing/Temporary/*}"; done
  fi
  rm -f "$began"
  printf 'test.sh: %s\n' "${times[@]}" "$(printf '%5d s  in all' "$SECONDS")"
}
trap report EXIT

step setup scripts/setup-debian.sh
step "Linux build and tests" cmake --workflow --preset ci
step "style and clang-tidy" scripts/tidy.sh build/ci
# The Debian package of that build: lintian, apt-get install, a start, apt-get purge (needs root).
if [ "$(id -u)" -eq 0 ]; then
  step "Debian package" scripts/package-test.sh build/ci
else
  echo "scripts/package-test.sh skipped: it needs root"
fi
step "Windows build and tests" scripts/windows-tests.sh

# The monkeys spend their minutes waiting on the programs they drive and the fuzzers take one core,
# so the three run side by side once their builds are done; each one's output follows in turn.
step "sanitizer builds" sh -c 'scripts/monkey.sh 0 && scripts/monkey-windows.sh 0 && scripts/fuzz.sh 0'
side_by_side() {
  local logs pids=() names=(scripts/monkey.sh scripts/monkey-windows.sh scripts/fuzz.sh) status=0 i
  logs=$(mktemp -d)
  scripts/monkey.sh 3 >"$logs/0" 2>&1 &
  pids+=($!)
  scripts/monkey-windows.sh 3 >"$logs/1" 2>&1 &
  pids+=($!)
  scripts/fuzz.sh 60 >"$logs/2" 2>&1 &
  pids+=($!)
  for i in 0 1 2; do
    local code=0
    wait "${pids[$i]}" || code=$?
    echo "== ${names[$i]} (exit status $code)"
    cat "$logs/$i"
    [ "$code" -eq 0 ] || status=1
  done
  rm -rf "$logs"
  return "$status"
}
step "monkeys and fuzzing" side_by_side
step "Windows installer" scripts/package-windows-test.sh
