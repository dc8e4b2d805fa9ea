#!/bin/sh
# Runs a Windows test program under Wine with a sound output to talk to: a private PulseAudio whose
# only output is a null sink, which Wine's winepulse driver offers as the default endpoint.
#   with_sound_server.sh WINEPREFIX PROGRAM [ARGS...]
# Exit 77 (skipped) only when PulseAudio is not installed.
set -u
prefix=$1
shift
command -v pulseaudio >/dev/null || { echo "SKIP: pulseaudio is not installed"; exit 77; }
work=$(mktemp -d "${TMPDIR:-/tmp}/tollvane-wine-pulse.XXXXXX")
mkdir -m 700 "$work/runtime"
socket=$work/runtime/native
XDG_RUNTIME_DIR=$work/runtime PULSE_RUNTIME_PATH=$work/runtime/pulse HOME=$work \
    timeout -s KILL 120 pulseaudio -n --daemonize=no --system=false --exit-idle-time=-1 \
    --disallow-exit --use-pid-file=false --log-target=stderr --log-level=error \
    -L "module-native-protocol-unix auth-anonymous=1 socket=$socket" \
    -L "module-null-sink sink_name=wine_test" >"$work/pulse.log" 2>&1 &
daemon=$!
trap 'kill $daemon 2>/dev/null; wait $daemon 2>/dev/null; rm -rf "$work"' EXIT
export PULSE_SERVER=unix:$socket
for _ in $(seq 100); do timeout 5 pactl info >/dev/null 2>&1 && break; sleep 0.1; done
sh "$(dirname "$0")/../../cmake/wine-run.sh" "$prefix" "$@"
