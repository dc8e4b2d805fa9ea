#!/bin/sh
# Usage: run_with_xvfb.sh SECONDS COMMAND [ARGUMENT...]
# Runs COMMAND on a private X server, with scratch XDG and temporary directories, and stops it
# after SECONDS. The server and the scratch directories are removed afterwards, whatever happens.
set -u
limit=$1
shift

work=$(mktemp -d "${TMPDIR:-/tmp}/tollvane-xvfb.XXXXXX") || exit 1
xvfb_pid=
command_pid=
cleanup() {
    if [ -n "$command_pid" ]; then
        kill "$command_pid" 2>/dev/null
        wait "$command_pid" 2>/dev/null
    fi
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null
        wait "$xvfb_pid" 2>/dev/null
    fi
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 129' HUP
trap 'exit 130' INT
trap 'exit 143' TERM

# -displayfd picks a free display and writes its number once the server accepts clients.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
tries=0
until grep -q '^[0-9]' "$work/display" 2>/dev/null; do
    if ! kill -0 "$xvfb_pid" 2>/dev/null || [ "$tries" -ge 300 ]; then
        echo "run_with_xvfb: Xvfb did not start" >&2
        cat "$work/xvfb.log" >&2
        exit 1
    fi
    tries=$((tries + 1))
    sleep 0.1
done

mkdir -m 700 "$work/config" "$work/cache" "$work/data" "$work/runtime" "$work/tmp"
# timeout runs the command in a process group of its own and signals the whole group, so the
# programs the command started end with it. It runs in the background so that a signal to this
# script is handled at once rather than after the command.
DISPLAY=":$(head -n 1 "$work/display")" \
XDG_CONFIG_HOME="$work/config" XDG_CACHE_HOME="$work/cache" XDG_DATA_HOME="$work/data" \
XDG_RUNTIME_DIR="$work/runtime" TMPDIR="$work/tmp" \
    timeout -k 10 "$limit" "$@" &
command_pid=$!
wait "$command_pid"
status=$?
command_pid=
exit "$status"
