#!/bin/sh
# Runs a test program of the cross-build under Wine for ctest: wine-test.sh PREFIX PROGRAM [ARGS...]
#
# Rarely, on a busy machine, a test program under Wine ends with a failure status without having
# printed one line, although every test program prints a line before its first test (Google
# Test's "Running main()", flushed before each test starts, or its list of tests): it never came
# to run a test. Such a run is told on standard error, with its status, and run once more. Every
# other run counts as it ended: a run that printed anything is never repeated.
set -u
here=$(cd "$(dirname "$0")" && pwd)
out=$(mktemp)
status=$(mktemp)
trap 'rm -f "$out" "$status"' EXIT
try=1
while :; do
    { sh "$here/wine-run.sh" "$@"; echo $? >"$status"; } | tee "$out"
    code=$(cat "$status")
    if [ "$code" -eq 0 ] || [ -s "$out" ] || [ $try -eq 2 ]; then
        exit "$code"
    fi
    echo "wine-test: $2 ended with status $code before printing anything; it runs once more" >&2
    try=2
done
