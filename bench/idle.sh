#!/usr/bin/env bash
# What the clock costs while it sits on the screen, beside `xclock -digital -update 1` (a clock
# that also draws the seconds) in the same run: the two programs take turns under the team's
# desktop-bench tool (../shared/tools beside the checkout), each run on a fresh private Xvfb.
# Prints the medians of both and Tollvane's ratio to xclock; asserts nothing.
#
#   bench/idle.sh [-n RUNS] [-s IDLE_S] [-a ALIGN_S] [BUILD_DIR]     (defaults 3, 20, 0, build/rel)
#     -a  also record for ALIGN_S seconds how long after each real second each clock draws it
#
# The idle window begins 12 s after the window is mapped, once the text cursor has stopped
# blinking for want of input (it stops 10 s after the last input): what is measured is the clock
# that nobody touches, as it sits on the screen all day. Build a release first, e.g.
#   cmake -S . -B build/rel -DCMAKE_BUILD_TYPE=Release -DTOLLVANE_TESTS=OFF
#   cmake --build build/rel -j2 --target tollvane
set -euo pipefail
cd "$(dirname "$0")/.."
runs=3 idle=20 align=0
while getopts "n:s:a:h" o; do
  case $o in
    n) runs=$OPTARG ;; s) idle=$OPTARG ;; a) align=$OPTARG ;;
    *) sed -n '2,/^set -e/p' "$0" | sed '$d'; exit 64 ;;
  esac
done
shift $((OPTIND - 1))
build=${1:-build/rel}
tool=../shared/tools/desktop-bench.sh
[ -x "$tool" ] || { echo "desktop-bench not found at $tool" >&2; exit 1; }
[ -x "$build/bin/tollvane" ] || { echo "no $build/bin/tollvane: build it first" >&2; exit 1; }
command -v xclock >/dev/null || { echo "xclock not found (Debian package x11-apps)" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/config"
export IDLE_BENCH_CONFIG=$work/config IDLE_BENCH_PROGRAM=$(cd "$build/bin" && pwd)/tollvane
cat >"$work/programs" <<'SPEC'
tollvane '^Tollvane$' env XDG_CONFIG_HOME=$IDLE_BENCH_CONFIG $IDLE_BENCH_PROGRAM
xclock '^xclock$' xclock -digital -update 1
SPEC

echo "# machine: $(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg) at start"
"$tool" -n "$runs" -s "$idle" -w 12 -f "$work/programs" | tee "$work/idle.out" | grep -E '^# (desktop-bench|label|tollvane|xclock) '
echo "# load average $(cut -d' ' -f1-3 /proc/loadavg) at the end"
# The medians are taken here from the per-run lines, leaving out a run whose program (or one of
# its threads) ended inside the idle window: desktop-bench would count its figures as zeros.
awk '
  function median(label, col,   n, i, j, t, a) {
    n = 0
    for (i = 1; i <= runs[label]; i++) if (!lost[label, i]) a[++n] = v[label, i, col] + 0
    if (!n) return ""
    for (i = 2; i <= n; i++) { t = a[i]; for (j = i - 1; j > 0 && a[j] > t; j--) a[j + 1] = a[j]; a[j + 1] = t }
    return n % 2 ? a[(n + 1) / 2] : (a[n / 2] + a[n / 2 + 1]) / 2
  }
  function row(col, what, target, limit_kind, limit,   t, x, r, ok) {
    t = median("tollvane", col); x = median("xclock", col)
    if (t == "" || x == "") return
    r = (x > 0) ? sprintf("%.2f", t / x) : "NA"
    ok = ""
    if (limit_kind == "ratio" && r != "NA") ok = (r + 0 <= limit) ? "within" : "OVER"
    if (limit_kind == "abs") ok = (t <= limit) ? "within" : "OVER"
    printf "%-34s %10.2f %10.2f %7s   %-22s %s\n", what, t, x, r, target, ok
  }
  $1 == "#" && ($2 == "tollvane" || $2 == "xclock") && $3 ~ /^[0-9]+$/ && NF == 16 {
    k = ++runs[$2]; for (c = 4; c <= 16; c++) v[$2, k, c] = $c
    if ($15 == 0 || $16 > 0) {
      lost[$2, k] = 1; nlost[$2]++
      printf "# WARNING: %s run %s lost its program or a thread in the idle window; left out\n", $2, $3
    }
  }
  END {
    printf "%-34s %10s %10s %7s   %-22s\n", "median of the runs kept", "tollvane", "xclock", "ratio", "target"
    printf "%-34s %10d %10d\n", "runs kept", runs["tollvane"] - nlost["tollvane"], runs["xclock"] - nlost["xclock"]
    row(10, "CPU per idle window (ms)", "<= 1.5 x xclock", "ratio", 1.5)
    row(12, "wake-ups per second", "<= 2 /s", "abs", 2)
    row(14, "X server CPU per idle window (ms)", "<= 1.5 x xclock", "ratio", 1.5)
    row(7, "RSS (kB)", "<= 36864 kB", "abs", 36864)
    row(8, "PSS (kB)", "reported", "", 0)
    row(9, "peak RSS (kB)", "reported", "", 0)
    row(4, "launch to mapped (ms)", "<= 1.2 x xclock", "ratio", 1.2)
    row(5, "launch to first frame (ms)", "reported", "", 0)
    row(13, "preemptions per second (load)", "reported", "", 0)
  }' "$work/idle.out"

if [ "$align" != 0 ]; then
  echo "# how many ms after each real second the figures are drawn, over ${align} s"
  "$tool" -n 1 -w 12 -a "$align" -f "$work/programs" | grep -v '^#   '
fi
