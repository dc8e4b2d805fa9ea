#!/bin/sh
# The Windows tests' runner (cmake/wine-test.sh) runs a test program once more only when it ended
# badly without printing a line; a failure that printed anything stands, and so does a second
# silent one. A stand-in for wine-run.sh plays the program from a script of runs.
#   wine_test_repeat_test.sh SOURCE_DIR
set -eu
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$1/cmake/wine-test.sh" "$work/"
# Each run takes the next line of $work/runs: "STATUS [TEXT]"; TEXT goes to standard output.
cat >"$work/wine-run.sh" <<'EOF'
n=$(($(cat "$(dirname "$0")/count") + 1))
echo $n >"$(dirname "$0")/count"
line=$(sed -n "${n}p" "$(dirname "$0")/runs")
case $line in *" "*) echo "${line#* }" ;; esac
exit "${line%% *}"
EOF
fail() { echo "FAIL: $*" >&2; exit 1; }

# runs EXPECTED_STATUS EXPECTED_RUNS LINE...: plays the lines, checks the status and the count.
runs() {
    want=$1 times=$2
    shift 2
    printf '%s\n' "$@" >"$work/runs"
    echo 0 >"$work/count"
    got=0
    sh "$work/wine-test.sh" prefix test.exe >"$work/out" 2>"$work/err" || got=$?
    [ "$got" -eq "$want" ] || fail "runs '$*': status $got, not $want"
    [ "$(cat "$work/count")" -eq "$times" ] || fail "runs '$*': $(cat "$work/count") runs, not $times"
}

runs 0 2 "53" "0 [  PASSED  ] 1 test."
grep -q 'test.exe ended with status 53 before printing anything' "$work/err" ||
    fail "the repeat was not told: $(cat "$work/err")"
grep -qx '\[  PASSED  \] 1 test.' "$work/out" || fail "the second run's output is lost"
runs 1 1 "1 [  FAILED  ] 1 test." "0 [  PASSED  ] 1 test."
[ ! -s "$work/err" ] || fail "a failure that printed was told as a silent one"
runs 53 2 "53" "53"
runs 0 1 "0"
echo PASS
