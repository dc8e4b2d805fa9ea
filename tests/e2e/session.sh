# Sourced by the tests that run the whole program: a private desktop session of its own under
# Xvfb, with a private PulseAudio whose only output is a null sink, and a scratch home.
#
#   . session.sh; session_start PROGRAM HELP_FILE
# sets work (the scratch folder, removed at exit), settings (the settings file), bin (the program's
# own folder, with the program copied into it as installed), DISPLAY, PULSE_SERVER, pulse (the
# sound server's process), and the list pids of processes to end at exit. fail MESSAGE ends the test. Needs bash.
rate=${rate:-48000}
pids=()

# Only processes that are still this shell's children are signalled: the number of one that has
# ended may already belong to another program on a busy machine.
own_child() { [ "$(ps -o ppid= -p "$1" 2>/dev/null | tr -d ' ')" = "$$" ]; }

session_cleanup() {
    for p in "${pids[@]}"; do own_child "$p" && { kill -CONT "$p"; kill "$p"; } 2>/dev/null; done
    sleep 0.3
    for p in "${pids[@]}"; do own_child "$p" && kill -KILL "$p" 2>/dev/null; done
    wait 2>/dev/null
    [ -n "${work:-}" ] && rm -rf "$work"
}

fail() { echo "FAIL: $*"; tail -n 20 "$work"/*.log 2>/dev/null; exit 1; }

session_require() {
    for tool in "$@"; do
        command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
    done
}

session_start() {
    local program=$1 help=$2
    session_require Xvfb xdotool xwininfo pulseaudio pactl
    work=$(mktemp -d "${TMPDIR:-/tmp}/tollvane-e2e.XXXXXX")
    trap session_cleanup EXIT
    trap 'exit 1' INT TERM
    mkdir -m 700 "$work/runtime" "$work/home"
    export HOME=$work/home XDG_RUNTIME_DIR=$work/runtime XDG_CONFIG_HOME=$work/home/config
    export XDG_DATA_HOME=$work/home/data PULSE_RUNTIME_PATH=$work/runtime/pulse
    unset WAYLAND_DISPLAY DBUS_SESSION_BUS_ADDRESS QT_QPA_PLATFORM SESSION_MANAGER
    settings=$XDG_CONFIG_HOME/Tollvane/settings.ini

    # The program in a folder of its own, as installed: the reminder file is kept beside it.
    bin=$work/bin
    mkdir "$bin"
    cp "$program" "$bin/tollvane"
    cp "$help" "$bin/HelpForBrindle.HLP"

    # A display number nobody uses. Xvfb takes its lock file atomically and gives up when another
    # server (another test started at the same moment) took the number first: then the next one.
    local n xvfb
    for n in $(seq 90 140); do
        [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ] && continue
        Xvfb :$n -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
        xvfb=$!
        for _ in $(seq 100); do
            [ -e /tmp/.X11-unix/X$n ] || ! kill -0 $xvfb 2>/dev/null && break
            sleep 0.1
        done
        # Ours if the lock holds its process number.
        [ "$(tr -d ' \n' <"/tmp/.X$n-lock" 2>/dev/null)" = "$xvfb" ] && break
        kill $xvfb 2>/dev/null || true
    done
    pids+=($xvfb)
    export DISPLAY=:$n
    for _ in $(seq 100); do xwininfo -root >/dev/null 2>&1 && break; sleep 0.1; done

    local socket=$work/runtime/native
    pulseaudio -n --daemonize=no --system=false --exit-idle-time=-1 --disallow-exit \
        --use-pid-file=false --log-target=stderr --log-level=error \
        -L "module-native-protocol-unix auth-anonymous=1 socket=$socket" \
        -L "module-null-sink sink_name=e2e format=float32le rate=$rate channels=1 norewinds=1" \
        >"$work/pulse.log" 2>&1 &
    pulse=$!
    pids+=($pulse)
    export PULSE_SERVER=unix:$socket
    for _ in $(seq 100); do timeout 5 pactl info >/dev/null 2>&1 && break; sleep 0.1; done
    pactl set-default-sink e2e || fail "no null sink"
}

# Starts the program and waits for its main window: sets app (its process) and wid (the window).
start_program() {
    "$bin/tollvane" >"$work/tollvane.log" 2>&1 &
    app=$!
    pids+=($app)
    wid=$(timeout 20 xdotool search --sync --onlyvisible --name '^Tollvane$' | head -n 1)
    [ -n "$wid" ] || fail "the main window did not appear"
}

# Clicks a point of the main window's client area, given in pixels as the window is designed.
click_at() {
    eval "$(xdotool getwindowgeometry --shell "$wid")"
    xdotool mousemove $((X + $1)) $((Y + HEIGHT - 336 + $2)) click 1
    sleep 0.3
}

value() {  # value KEY: the stored text of lastsettings/KEY, quotes removed
    sed -n "s/^lastsettings\\\\$1=//Ip" "$settings" | sed 's/^"\(.*\)"$/\1/'
}

# The seven values the exit sequence saves are all in the settings file.
check_seven_saved() {
    [ -f "$settings" ] || fail "no settings file after exit"
    local key
    for key in remyear remmonth remday timealarm AlarmMusic AlarmMusic2 AlarmMusic3; do
        grep -qi "^lastsettings\\\\$key=" "$settings" || fail "$key was not saved"
    done
}

# The next whole minute at least $1 seconds away: sets alarm (H:MM) and ring_at (epoch seconds).
next_minute() {
    local now sec ahead=60
    now=$(date +%s)
    sec=$((now % 60))
    [ $((60 - sec)) -lt "$1" ] && ahead=120
    ring_at=$((now - sec + ahead))
    alarm=$(date -d "@$ring_at" +%-H:%M)
}
