#!/usr/bin/env bash
# Installs what is missing, builds Tollvane with warnings as errors and runs every test: the core,
# the Qt layer (offscreen), the sound (a private PulseAudio with a null sink), the browser and the
# whole program under Xvfb, the style check, the install tree and the Debian package, then the core
# and its Windows adapters built with MinGW and run under Wine, three minutes of random use of the
# program built with the sanitizers (scripts/monkey.sh) side by side with three minutes of random
# use of tollvane.exe under Wine (scripts/monkey-windows.sh) and a minute of fuzzing, and last the
# Windows installer installed, started and removed under Wine. No desktop session needed.
#
# Two lanes run side by side once the Linux build is done. The tests spend most of their time
# waiting on the clock, a ring or a window, and the builds keep both cores busy: so the builds that
# follow (the sanitizers' programs, tollvane.exe with GCC and with clang, then clang-tidy) run at
# the lowest priority in a lane of their own, and each group of tests starts as soon as the build
# it needs is there. The tests keep the processor whenever they want it. Each step's time is printed at the end.
set -euo pipefail
cd "$(dirname "$0")/.."

# The lane of builds: each step niced, its output kept in MARKS/NAME.log, then MARKS/NAME.ok or
# MARKS/NAME.failed; the first failure ends the lane.
if [ "${1:-}" = --builds ]; then
    marks=$2
    build() {
        local name=$1 start=$SECONDS status=0
        shift
        nice -n 19 "$@" >"$marks/$name.log" 2>&1 || status=$?
        printf '%5d s  %s (builds lane)\n' $((SECONDS - start)) "$name" >"$marks/$name.time"
        if [ "$status" -ne 0 ]; then
            touch "$marks/$name.failed"
            exit 1
        fi
        touch "$marks/$name.ok"
    }
    build "sanitizer builds" sh -c 'scripts/monkey.sh 0 && scripts/monkey-windows.sh 0 && scripts/fuzz.sh 0'
    build "Windows build" sh -c 'cmake --preset windows >/dev/null && cmake --build --preset windows'
    build "Windows build with clang" scripts/windows-clang.sh
    build "style and clang-tidy" scripts/tidy.sh build/ci
    exit 0
fi

times=()
step() {  # step NAME COMMAND...: runs COMMAND and notes how long it took
    local name=$1 start=$SECONDS
    shift
    echo "== test.sh: $name"
    "$@"
    times+=("$(printf '%5d s  %s' $((SECONDS - start)) "$name")")
}
marks=$(mktemp -d)
builds=
# await NAME: waits for the build lane's step NAME, prints its output and fails if it failed.
await() {
    local start=$SECONDS
    while [ ! -e "$marks/$1.ok" ] && [ ! -e "$marks/$1.failed" ]; do
        if ! kill -0 "$builds" 2>/dev/null && [ ! -e "$marks/$1.ok" ]; then
            echo "test.sh: the build lane ended before '$1'" >&2
            return 1
        fi
        sleep 1
    done
    echo "== test.sh: $1 (built side by side; waited $((SECONDS - start)) s for it)"
    cat "$marks/$1.log"
    times+=("$(cat "$marks/$1.time")")
    [ -e "$marks/$1.ok" ]
}
# At the end, a failed run repeats what its failed tests printed, where the run's last lines show it.
began=$(mktemp)
report() {
    local status=$?
    if [ -n "$builds" ] && kill -0 "$builds" 2>/dev/null; then
        kill -TERM -- "-$builds" 2>/dev/null || true
    fi
    if [ "$status" -ne 0 ]; then
        find build -path '*/Testing/Temporary/LastTestsFailed.log' -newer "$began" 2>/dev/null |
            while read -r failed; do scripts/failed-tests.sh "${failed%/Testing/Temporary/*}"; done
        for failed in "$marks"/*.failed; do
            [ -e "$failed" ] || continue
            name=$(basename "$failed" .failed)
            echo "== the build lane's '$name' failed; its last lines:"
            tail -n 60 "$marks/$name.log"
        done
    fi
    rm -rf "$began" "$marks"
    printf 'test.sh: %s\n' "${times[@]}" "$(printf '%5d s  in all' "$SECONDS")"
}
trap report EXIT

# The monkeys spend their minutes waiting on the programs they drive and the fuzzers take one core,
# so the three run side by side; each one's output follows in turn.
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

step setup scripts/setup-debian.sh
step "Linux build" sh -c 'cmake --preset ci && cmake --build --preset ci'
setsid "$0" --builds "$marks" </dev/null &
builds=$!
step "Linux tests" ctest --preset ci
# The Debian package of that build: lintian, apt-get install, a start, apt-get purge (needs root).
if [ "$(id -u)" -eq 0 ]; then
    step "Debian package" scripts/package-test.sh build/ci
else
    echo "scripts/package-test.sh skipped: it needs root"
fi
await "sanitizer builds"
step "monkeys and fuzzing" side_by_side
await "Windows build"
step "Windows tests" scripts/windows-tests.sh --test-only
step "Windows installer" scripts/package-windows-test.sh
await "Windows build with clang"
await "style and clang-tidy"
