#!/usr/bin/env bash
# The program's own memory as a native Wayland client beside the same program under X11, in the
# same run: each run starts it once on a fresh Xvfb and once on a fresh headless Weston (software
# rendering), waits until its main window is on the screen and SETTLE seconds more, and reads its
# RSS and PSS. A third column shows the program under Weston with Qt drawing the title bars
# (QT_WAYLAND_DISABLE_WINDOWDECORATION=0, which the program leaves alone), as it ran before it drew
# its own: Qt then loads its OpenGL integration. Prints the medians and the ratios to X11;
# asserts nothing.
#
#   bench/wayland_memory.sh [-n RUNS] [-s SETTLE_S] [BUILD_DIR]      (defaults 5, 5, build/rel)
#
# Build a release first, e.g.
#   cmake -S . -B build/rel -DCMAKE_BUILD_TYPE=Release -DTOLLVANE_TESTS=OFF
#   cmake --build build/rel -j2 --target tollvane
set -euo pipefail
cd "$(dirname "$0")/.."
runs=5 settle=5
while getopts "n:s:h" o; do
  case $o in
    n) runs=$OPTARG ;; s) settle=$OPTARG ;;
    *) sed -n '2,/^set -e/p' "$0" | sed '$d'; exit 64 ;;
  esac
done
shift $((OPTIND - 1))
build=${1:-build/rel}
program=$(cd "$build/bin" 2>/dev/null && pwd)/tollvane
[ -x "$program" ] || { echo "no $build/bin/tollvane: build it first" >&2; exit 1; }
for tool in Xvfb xdotool weston weston-debug; do
  command -v "$tool" >/dev/null || { echo "$tool not found (scripts/setup-debian.sh installs it)" >&2; exit 1; }
done

work=$(mktemp -d)
server=
cleanup() {
  [ -n "$server" ] && kill "$server" 2>/dev/null
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# Reads the program's figures once its window is up into $work/last: "rss pss libraries gl", gl
# being the number of libraries of the OpenGL stack (Mesa, its drivers, LLVM) mapped.
measure() {
  local pid=$1
  sleep "$settle"
  local rss pss libs gl
  rss=$(awk '/^VmRSS:/ {print $2}' "/proc/$pid/status")
  pss=$(awk '/^Pss:/ {print $2}' "/proc/$pid/smaps_rollup")
  libs=$(awk '$6 ~ /\.so/ {print $6}' "/proc/$pid/maps" | sort -u | wc -l)
  gl=$(awk '$6 ~ /\.so/ {print $6}' "/proc/$pid/maps" | sort -u | grep -c -E 'mesa|_dri\.so|LLVM|glapi|gbm' || true)
  echo "$rss $pss $libs $gl" >"$work/last"
}

# One start in a fresh display server of its own.
run_x11() {
  local n
  for n in $(seq 90 140); do [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ] || break; done
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  server=$!
  for _ in $(seq 100); do DISPLAY=:$n xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.1; done
  env "${session[@]}" DISPLAY=:$n QT_QPA_PLATFORM=xcb "$program" >/dev/null 2>&1 &
  local pid=$!
  DISPLAY=:$n timeout 20 xdotool search --sync --onlyvisible --name '^Tollvane$' >/dev/null
  measure "$pid"
  kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true
  kill "$server" 2>/dev/null || true; wait "$server" 2>/dev/null || true
  server=
}

run_wayland() {  # extra environment for the program in "$@"
  local dir=$work/weston
  rm -rf "$dir"; mkdir -m 700 "$dir"
  XDG_RUNTIME_DIR=$dir weston --backend=headless-backend.so --use-pixman --no-config --debug \
    --socket=wayland-bench --width=1280 --height=1024 --idle-time=0 >/dev/null 2>&1 &
  server=$!
  for _ in $(seq 100); do [ -S "$dir/wayland-bench" ] && break; sleep 0.1; done
  XDG_RUNTIME_DIR=$dir WAYLAND_DISPLAY=wayland-bench weston-debug proto >"$dir/proto" 2>/dev/null &
  local log=$!
  sleep 0.3
  env "${session[@]}" WAYLAND_DISPLAY="$dir/wayland-bench" QT_QPA_PLATFORM=wayland "$@" \
    "$program" >/dev/null 2>&1 &
  local pid=$!
  for _ in $(seq 200); do grep -q 'set_title("Tollvane")' "$dir/proto" && break; sleep 0.1; done
  measure "$pid"
  kill "$pid" "$log" 2>/dev/null || true; wait "$pid" "$log" 2>/dev/null || true
  kill "$server" 2>/dev/null || true; wait "$server" 2>/dev/null || true
  server=
}

echo "# machine: $(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg) at start"
echo "# $runs runs of $program, figures read ${settle} s after the window is up"
for i in $(seq "$runs"); do
  mkdir -m 700 -p "$work/run$i/runtime" "$work/run$i/config"
  session=(-u DISPLAY -u WAYLAND_DISPLAY -u QT_WAYLAND_DISABLE_WINDOWDECORATION
    XDG_RUNTIME_DIR="$work/run$i/runtime" XDG_CONFIG_HOME="$work/run$i/config")
  for kind in x11 wayland qtframes; do
    case $kind in
      x11) run_x11 ;;
      wayland) run_wayland ;;
      qtframes) run_wayland QT_WAYLAND_DISABLE_WINDOWDECORATION=0 ;;
    esac
    figures=$(cat "$work/last")
    echo "$kind $i $figures" >>"$work/figures"
    echo "# $kind run $i: RSS $(cut -d' ' -f1 <<<"$figures") kB, PSS $(cut -d' ' -f2 <<<"$figures") kB"
  done
done
echo "# load average $(cut -d' ' -f1-3 /proc/loadavg) at the end"

awk '
  function median(label, col,   n, i, j, t, a) {
    n = 0
    for (i = 1; i <= runs[label]; i++) a[++n] = v[label, i, col] + 0
    for (i = 2; i <= n; i++) { t = a[i]; for (j = i - 1; j > 0 && a[j] > t; j--) a[j + 1] = a[j]; a[j + 1] = t }
    return n % 2 ? a[(n + 1) / 2] : (a[n / 2] + a[n / 2 + 1]) / 2
  }
  function row(col, what, target,   x, w, q, r, rq, verdict) {
    x = median("x11", col); w = median("wayland", col); q = median("qtframes", col)
    r = "NA"; rq = "NA"
    if (x > 0) { r = sprintf("%.2f", w / x); rq = sprintf("%.2f", q / x) }
    verdict = "reported"
    if (target != "") verdict = "<= " target " x X11: " ((r != "NA" && r + 0 <= target) ? "within" : "OVER")
    printf "%-28s %10s %10s %7s %16s %7s   %s\n", what, x, w, r, q, rq, verdict
  }
  { k = ++runs[$1]; for (c = 3; c <= NF; c++) v[$1, k, c] = $c }
  END {
    printf "%-28s %10s %10s %7s %16s %7s   %s\n", "median of " runs["x11"] " runs", "X11",
      "Wayland", "ratio", "Qt-drawn frames", "ratio", "target"
    row(3, "RSS (kB)", "1.1")
    row(4, "PSS (kB)", "")
    row(5, "shared libraries mapped", "")
    row(6, "OpenGL stack libraries", "")
  }' "$work/figures"
