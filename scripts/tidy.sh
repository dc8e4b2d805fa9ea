#!/usr/bin/env bash
# The code's style: clang-format over every C++ file, then clang-tidy with the checks in .clang-tidy
# over the core (the models and handlers) and the Linux adapters (src/platform/qt and
# src/platform/pulse: the ring's thread, the signal handler, the sound server), and over the
# Windows program (src/platform/win32 and src/main_win32.cpp) as clang sees it for the Windows
# target, with MinGW-w64's headers. Fails on any finding, and also when either tool cannot run: a
# check that did not run has not passed. Needs a configured build folder for the Linux compile
# commands (default build/ci); the Windows ones come from the `windows` preset's folder
# (build/windows), which is configured here if it has none.
#   tidy.sh [--list] [BUILD_DIR]   --list: only print the files clang-tidy would check
set -euo pipefail
cd "$(dirname "$0")/.."
list_only=0
if [ "${1:-}" = --list ]; then
  list_only=1
  shift
fi
build=${1:-build/ci}
windows_build=build/windows
files=(src/app/*.cpp src/windows/*.cpp src/alarm/*.cpp src/reminder/*.cpp src/links/*.cpp
       src/platform/qt/*.cpp src/platform/pulse/*.cpp)
windows_files=(src/platform/win32/*.cpp src/main_win32.cpp)
if [ "$list_only" = 1 ]; then
  printf '%s\n' "${files[@]}" "${windows_files[@]}"
  exit 0
fi
for tool in clang-format clang-tidy; do
  command -v "$tool" >/dev/null || { echo "tidy: $tool is not installed" >&2; exit 1; }
done
[ -f "$build/compile_commands.json" ] || { echo "tidy: no $build/compile_commands.json" >&2; exit 1; }

git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror
echo "clang-format: every file is formatted"

# Windows: the MinGW build's own compile commands, read by clang for the Windows target. Clang 14
# does not find MinGW's C++ library in Debian's GCC folder (named 12-posix), so it is given.
if [ ! -f "$windows_build/compile_commands.json" ]; then
  cmake --preset windows >/dev/null || { echo "tidy: the windows preset cannot be configured" >&2; exit 1; }
fi
mingw=x86_64-w64-mingw32
cxx=$(find /usr/lib/gcc/$mingw -path '*-posix/include/c++' -prune 2>/dev/null | sort -V | tail -1)
[ -n "$cxx" ] || { echo "tidy: MinGW-w64's C++ headers are missing (Debian: g++-mingw-w64-x86-64-posix)" >&2; exit 1; }
windows_args=(--extra-arg=--target="$mingw" --extra-arg=--sysroot="/usr/$mingw"
              --extra-arg=-nostdinc++ --extra-arg=-isystem"$cxx"
              --extra-arg=-isystem"$cxx/$mingw" --extra-arg=-isystem"$cxx/backward")
# Two checks are left out there, for what the Windows API is:
# - performance-no-int-to-ptr: a window procedure gets pointers and handles as the integers of its
#   message (WPARAM, LPARAM, the window's GWLP_USERDATA, a brush as COLOR_WINDOW + 1); reading them
#   back is the API's own way, with no other.
# - bugprone-forward-declaration-namespace: MinGW's <exdisp.h> names the system's WebBrowser class
#   at global scope, which the program's own tollvane::WebBrowser (the shop window's control model)
#   is not meant to be.
windows_checks=--checks=-performance-no-int-to-ptr,-bugprone-forward-declaration-namespace

log=$(mktemp)
trap 'rm -f "$log"' EXIT
status=0
printf '%s\n' "${files[@]}" |
  xargs -P2 -n4 clang-tidy -p "$build" --quiet --extra-arg=-Wno-unknown-warning-option \
    >"$log" 2>&1 || status=$?
printf '%s\n' "${windows_files[@]}" |
  xargs -P2 -n2 clang-tidy -p "$windows_build" --quiet --extra-arg=-Wno-unknown-warning-option \
    "${windows_args[@]}" "$windows_checks" >>"$log" 2>&1 || status=$?
findings=$(grep -E "(warning|error):" "$log" | sort -u || true)
if [ -n "$findings" ]; then
  echo "$findings"
  echo "clang-tidy: findings in the core, the Linux adapters or the Windows program"
  exit 1
fi
if [ "$status" -ne 0 ]; then
  cat "$log"
  echo "clang-tidy: did not run to its end (exit status $status)"
  exit 1
fi
echo "clang-tidy: the core, the Linux adapters and the Windows program are clean"
