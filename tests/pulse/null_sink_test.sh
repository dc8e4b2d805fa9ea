#!/usr/bin/env bash
# Plays beeps through a private PulseAudio daemon whose only output is a null sink, records the
# sink's monitor and checks the recording (three beeps in a row, then one long beep); a ring on the
# output muted at zero volume, heard and then put back, and one whose volume the user changes
# meanwhile, left as the user set it; then a ring with no server reachable, and one with the
# server stopped in the middle.
#
#   null_sink_test.sh TONE_PLAYER TONE_CHECK
#
# Exit 77 (skipped) only when the PulseAudio programs are not installed.
set -u

player=$1
check=$2
rate=48000

for tool in pulseaudio parecord pactl; do
    if ! command -v "$tool" >/dev/null; then
        echo "SKIP: $tool is not installed (Debian: pulseaudio, pulseaudio-utils)"
        exit 77
    fi
done

work=$(mktemp -d "${TMPDIR:-/tmp}/tollvane-pulse.XXXXXX")
guard_pid=
daemon_pid=
recorder_pid=

# Asks a process to end, and kills it if it has not within five seconds.
stop_process() {
    kill -TERM "$1" 2>/dev/null || return 0
    for _ in $(seq 50); do kill -0 "$1" 2>/dev/null || break; sleep 0.1; done
    kill -KILL "$1" 2>/dev/null
    wait "$1" 2>/dev/null
}

cleanup() {
    if [ -n "$recorder_pid" ]; then stop_process "$recorder_pid"; fi
    if [ -n "$daemon_pid" ]; then kill -CONT "$daemon_pid" 2>/dev/null; fi  # stopped, it ignores TERM
    if [ -n "$guard_pid" ]; then stop_process "$guard_pid"; fi  # timeout passes TERM on
    if [ -n "$daemon_pid" ]; then kill -KILL "$daemon_pid" 2>/dev/null; fi
    if [ "${keep_work:-0}" = 1 ]; then echo "files kept in $work"; else rm -rf "$work"; fi
}
trap cleanup EXIT
trap 'exit 1' INT TERM HUP

# Everything the daemon and its clients would touch stays inside $work.
mkdir -m 700 "$work/runtime" "$work/home"
export HOME=$work/home XDG_RUNTIME_DIR=$work/runtime PULSE_RUNTIME_PATH=$work/runtime/pulse
export PULSE_STATE_PATH=$work/home/state XDG_CONFIG_HOME=$work/home/config
unset DISPLAY WAYLAND_DISPLAY DBUS_SESSION_BUS_ADDRESS
socket=$work/runtime/native
server=unix:$socket

fail() {
    echo "FAIL: $*"
    keep_work=1
    echo "--- daemon log (last lines)"; tail -n 30 "$work/daemon.log" 2>/dev/null
    exit 1
}

# -n: no default script, only these modules. The flags let it run as root (as in CI) and keep it
# running while no client is connected. `timeout` ends it even if this script is killed outright.
timeout -s KILL 150 pulseaudio -n --daemonize=no --system=false --exit-idle-time=-1 \
    --disallow-exit --use-pid-file=true --log-target=stderr --log-level=notice \
    -L "module-native-protocol-unix auth-anonymous=1 socket=$socket" \
    -L "module-null-sink sink_name=tollvane_test format=float32le rate=$rate channels=1 norewinds=1" \
    >"$work/daemon.log" 2>&1 &
guard_pid=$!

ready=0
for _ in $(seq 100); do
    if PULSE_SERVER=$server timeout 5 pactl info >/dev/null 2>&1; then ready=1; break; fi
    kill -0 "$guard_pid" 2>/dev/null || break
    sleep 0.1
done
[ "$ready" = 1 ] || fail "the PulseAudio daemon did not start"
daemon_pid=$(cat "$PULSE_RUNTIME_PATH/pid" 2>/dev/null)
[ -n "$daemon_pid" ] || fail "the daemon wrote no pid file"
PULSE_SERVER=$server pactl set-default-sink tollvane_test || fail "no null sink"

# The recorder asks for 2 ms: a null sink that cannot rewind mixes a new stream in only at its next
# step, and its step is the smallest latency any client asks for. With the tone's own 5 ms the gaps
# would read in 5 ms steps; a sound card (which rewinds) or a small step shows the real gap.
record_start() {
    PULSE_SERVER=$server parecord --raw --device=tollvane_test.monitor --format=float32le \
        --rate=$rate --channels=1 --latency-msec=2 >"$1" 2>"$work/parecord.log" &
    recorder_pid=$!
    sleep 0.5  # some silence before the first beep
}

record_stop() {
    sleep 0.5  # the tail of the last beep reaches the recorder
    kill -INT "$recorder_pid"
    timeout 10 tail --pid="$recorder_pid" -f /dev/null || fail "parecord did not stop"
    wait "$recorder_pid" 2>/dev/null
    recorder_pid=
}

echo "== three beeps of 800 Hz, 200 ms each"
record_start "$work/ring.raw"
PULSE_SERVER=$server timeout 30 "$player" play 800 200 3 played || fail "the ring did not play"
record_stop
"$check" "$work/ring.raw" $rate 3 800 200 || fail "the recording does not hold the three beeps"

echo "== one long beep, longer than the adapter queues ahead: 440 Hz, 2500 ms"
record_start "$work/long.raw"
PULSE_SERVER=$server timeout 30 "$player" play 440 2500 1 played || fail "the long beep did not play"
record_stop
"$check" "$work/long.raw" $rate 1 440 2500 || fail "the recording does not hold the long beep"

# The null sink's mute and volume: "yes 0%".
output_level() {
    local muted volume
    muted=$(PULSE_SERVER=$server pactl get-sink-mute tollvane_test | sed 's/^Mute: //')
    volume=$(PULSE_SERVER=$server pactl get-sink-volume tollvane_test | grep -o '[0-9]*%' | head -n 1)
    echo "$muted $volume"
}

echo "== muted at zero volume: the ring is heard at a quarter, then the output is as it was"
PULSE_SERVER=$server pactl set-sink-volume tollvane_test 0
PULSE_SERVER=$server pactl set-sink-mute tollvane_test 1
record_start "$work/muted.raw"
PULSE_SERVER=$server timeout 30 "$player" play 800 200 3 played || fail "the ring did not play"
record_stop
# A quarter of the volume slider is a sixty-fourth of the full amplitude.
"$check" "$work/muted.raw" $rate 3 800 200 0.002 || fail "the muted output did not sound the ring"
[ "$(output_level)" = "yes 0%" ] || fail "after the ring the output is '$(output_level)', not muted at 0%"

echo "== muted, and the user turns it up during the ring: it stays as the user set it"
PULSE_SERVER=$server timeout 30 "$player" play 800 200 3 played \
    "pactl set-sink-volume tollvane_test 60%" || fail "the ring did not play"
[ "$(output_level)" = "no 60%" ] || fail "after the ring the output is '$(output_level)', not as the user set it"
PULSE_SERVER=$server pactl set-sink-volume tollvane_test 100%

echo "== no server reachable: the ring runs its course in silence"
record_start "$work/silent.raw"
PULSE_SERVER=unix:$work/runtime/no-such-socket timeout 30 "$player" play 800 200 3 no-server ||
    fail "the ring without a server did not end as silence"
record_stop
"$check" "$work/silent.raw" $rate 0 800 200 || fail "something sounded without a server"

echo "== server stopped in the middle of a ring"
PULSE_SERVER=$server timeout 60 "$player" stall "$daemon_pid" 800 300 ||
    fail "a beep did not end while the server was stopped, or the next did not reconnect"

echo "PASS"
