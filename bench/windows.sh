#!/usr/bin/env bash
# tollvane.exe under Wine beside the least a Win32 clock can do (bench/windows/bare_window.c, a
# window whose one box shows the seconds, built here), both on one Xvfb and one Wine server kept
# warm: the executable's size, launch to the window shown, CPU and wake-ups while idle, memory,
# and how many ms after each real second the seconds are drawn. Prints figures with the ratios;
# asserts nothing.
#
#   bench/windows.sh [-n RUNS] [-s IDLE_S] [-a ALIGN_S] [BUILD_DIR]   (defaults 3, 20, 30, build/windows)
#
# The program is measured as it starts, with the text cursor in the alarm box (it blinks for ever
# under Wine; Windows stops it after its caret timeout, five seconds by default), and in the
# clock-only view, which has no text box.
#
# Build first: cmake --workflow --preset windows (or cmake --build build/windows). Needs Xvfb,
# wine64, mingw-w64, strace and libx11-dev (X events are watched by ../shared/tools/xwatch.c).
set -euo pipefail
cd "$(dirname "$0")/.."
runs=3 idle=20 align=30
while getopts "n:s:a:h" o; do
  case $o in
    n) runs=$OPTARG ;; s) idle=$OPTARG ;; a) align=$OPTARG ;;
    *) sed -n '2,/^set -e/p' "$0" | sed '$d'; exit 64 ;;
  esac
done
shift $((OPTIND - 1))
build=${1:-build/windows}
exe=$build/bin/tollvane.exe
drive=$build/tests/win32/e2e/tollvane_drive.exe
[ -f "$exe" ] && [ -f "$drive" ] || { echo "no $exe or $drive: build them first" >&2; exit 1; }
xwatch_c=../shared/tools/xwatch.c
[ -f "$xwatch_c" ] || { echo "xwatch.c not found at $xwatch_c" >&2; exit 1; }

work=$(mktemp -d /tmp/tollvane-winbench.XXXXXX)
prefix=$work/prefix
cleanup() {
  sh cmake/wine-session.sh stop "$prefix" >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT
cc -O2 -o "$work/xwatch" "$xwatch_c" -lX11 /usr/lib/x86_64-linux-gnu/libXdamage.so.1
x86_64-w64-mingw32-gcc -O2 -static -mwindows -o "$work/bare.exe" bench/windows/bare_window.c
cp "$exe" "$work/tollvane.exe"
echo "# machine: $(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg) at start"
sh cmake/wine-session.sh start "$prefix"
DISPLAY=$(cat "$prefix/.tollvane-display")
export DISPLAY WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine=/usr/lib/wine/wine64

now_ns() { date +%s%N; }
# The bench's own copy, by its full path: others may run a tollvane.exe of their own meanwhile.
pid_of() { pgrep -n -f "^$1" || true; }
# CPU of the process in ms, summed over its threads (the scheduler's own count, in ns).
cpu_ms() { cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{ s += $1 } END { printf "%.1f", s / 1e6 }'; }
# Wake-ups: how often a thread of the process, having slept at least 5 ms, runs again, counted from
# the gaps between its system calls over `seconds`. (Context switches would count every round trip
# to Wine's server as a wake-up.)
wakeups() {  # pid seconds
  timeout "$2" strace -f -tt -e trace=all -p "$1" -o "$work/strace" >/dev/null 2>&1 || true
  awk -v t="$2" '{ split($2, c, ":"); s = c[1] * 3600 + c[2] * 60 + c[3]
                   if (($1 in last) && s - last[$1] > 0.005) n++; last[$1] = s }
                 END { printf "%.2f", n / t }' "$work/strace"
}
rss_kb() { awk '/^VmRSS/ { print $2 }' "/proc/$1/status"; }

declare -A sum_launch sum_cpu sum_wake sum_rss n
run_one() {  # label title program [menu item chosen once shown]
  local label=$1 title=$2 program=$3 item=${4:-}
  "$work/xwatch" map "^$title\$" 30 >"$work/map" 2>/dev/null &
  local watch=$!
  until grep -q ready "$work/map" 2>/dev/null; do sleep 0.01; done
  local start; start=$(now_ns)
  "$wine" "$program" >/dev/null 2>&1 &
  wait "$watch" || { echo "# $label: window not shown"; return; }
  local mapped; mapped=$(awk '/mapped/ { print $2 }' "$work/map")
  local pid; pid=$(pid_of "$program")
  [ -z "$item" ] || "$wine" "$drive" menu frmAlarmClock "$item" >/dev/null 2>&1
  sleep 5
  local c0; c0=$(cpu_ms "$pid")
  sleep "$idle"
  local c1; c1=$(cpu_ms "$pid")
  local rss; rss=$(rss_kb "$pid")
  local wakes; wakes=$(wakeups "$pid" 10)
  kill "$pid" 2>/dev/null || true
  sleep 1
  local launch=$(( (mapped - start) / 1000000 ))
  local cpu; cpu=$(awk -v a="$c0" -v b="$c1" 'BEGIN { printf "%.1f", b - a }')
  printf '# %-9s launch %5d ms  cpu %6.1f ms/%ds  wake-ups %5.2f/s  rss %6d kB\n' "$label" "$launch" \
    "$cpu" "$idle" "$wakes" "$rss"
  sum_launch[$label]+="$launch "; sum_cpu[$label]+="$cpu "
  sum_wake[$label]+="$wakes "; sum_rss[$label]+="$rss "
}
median() { tr ' ' '\n' | grep -v '^$' | sort -g | awk '{ a[NR] = $1 } END { print (NR % 2) ? a[(NR + 1) / 2] : (a[NR / 2] + a[NR / 2 + 1]) / 2 }'; }

# The first start of each in the fresh prefix (Wine builds its caches then) is reported apart.
first_start() {  # title program
  "$work/xwatch" map "^$1\$" 60 >"$work/map" 2>/dev/null &
  local watch=$!
  until grep -q ready "$work/map" 2>/dev/null; do sleep 0.01; done
  local start; start=$(now_ns)
  "$wine" "$2" >/dev/null 2>&1 &
  wait "$watch" || true
  local mapped; mapped=$(awk '/mapped/ { print $2 }' "$work/map")
  kill "$(pid_of "$2")" 2>/dev/null || true
  sleep 1
  echo $(( (mapped - start) / 1000000 ))
}
cold_bare=$(first_start "Bare box" "$work/bare.exe")
cold_tollvane=$(first_start Tollvane "$work/tollvane.exe")

for r in $(seq "$runs"); do
  run_one bare "Bare box" "$work/bare.exe"
  run_one tollvane "Tollvane" "$work/tollvane.exe"
  run_one clockview "Tollvane" "$work/tollvane.exe" MnuClock
done

# How many ms after each real second the seconds change on the screen: the drawings that come
# within 100 ms of a whole second (the text cursor's blinks in the alarm box come between).
lag() {  # title program
  "$wine" "$2" >/dev/null 2>&1 &
  sleep 6
  "$work/xwatch" damage "^$1\$" "$align" 2>/dev/null |
    awk '$1 == "burst" && $3 == 1 { ms = ($2 % 1000000000) / 1000000; if (ms < 100) print ms }' | median
  kill "$(pid_of "$2")" 2>/dev/null || true
  sleep 1
}

size=$(stat -c %s "$exe")
printf '%-36s %12s %12s %7s   %s\n' "median of $runs runs" tollvane bare ratio target
row() {  # what tollvane bare target limit kind
  local r; r=$(awk -v a="$2" -v b="$3" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "NA" }')
  printf '%-36s %12s %12s %7s   %s\n' "$1" "$2" "$3" "$r" "$4"
}
row "first start in a fresh prefix (ms)" "$cold_tollvane" "$cold_bare" "reported"
row "launch to window shown (ms)" "$(echo ${sum_launch[tollvane]} | median)" "$(echo ${sum_launch[bare]} | median)" "<= 1.3 x bare"
row "CPU per ${idle} s idle (ms)" "$(echo ${sum_cpu[tollvane]} | median)" "$(echo ${sum_cpu[bare]} | median)" "<= 1.3 x bare"
row "wake-ups per second" "$(echo ${sum_wake[tollvane]} | median)" "$(echo ${sum_wake[bare]} | median)" "<= 2 (tollvane)"
row "clock-only view: CPU per ${idle} s (ms)" "$(echo ${sum_cpu[clockview]} | median)" "$(echo ${sum_cpu[bare]} | median)" "no text cursor"
row "clock-only view: wake-ups per second" "$(echo ${sum_wake[clockview]} | median)" "$(echo ${sum_wake[bare]} | median)" "no text cursor"
row "RSS (kB)" "$(echo ${sum_rss[tollvane]} | median)" "$(echo ${sum_rss[bare]} | median)" "reported"
if [ "$align" != 0 ]; then
  row "seconds drawn after the second (ms)" "$(lag Tollvane "$work/tollvane.exe")" "$(lag "Bare box" "$work/bare.exe")" "median <= 5 (tollvane)"
fi
printf '%-36s %12s %12s %7s   %s\n' "tollvane.exe (bytes)" "$size" "" "" "<= 2097152, static"
echo "# load average $(cut -d' ' -f1-3 /proc/loadavg) at the end"
