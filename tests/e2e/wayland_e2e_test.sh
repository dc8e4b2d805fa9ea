#!/usr/bin/env bash
# The program as a native Wayland client, under two headless compositors from Debian's packages.
#   Weston (software rendering; draws no frames, has no xdg-activation):
#     1. the main window maps with the title "Tollvane", fixed in size, and wider than its client
#        area: the program draws its own frame; no OpenGL or EGL library is loaded;
#     2. a second start hands over and ends with status 0, leaving one program;
#     3. SIGTERM saves the values in the window.
#   sway (draws the frames; offers xdg-activation):
#     4. the main window maps with the title "Tollvane", its client area alone: no frame of the
#        program's own under the compositor's;
#     5. with another workspace in front, a second start hands over and ends, and the activation
#        token it passes brings the window back to the front;
#     6. so does a second start that has no token to pass: the running program asks for one;
#     7. SIGTERM saves the values.
# A screenshot under each compositor is left in ARTIFACT_DIR.
#
#   wayland_e2e_test.sh TOLLVANE ARTIFACT_DIR
set -u
program=$1 artifacts=$2
client_width=231  # the main window's narrow client area, in pixels at 96 dpi

for tool in weston weston-debug weston-screenshooter sway swaymsg grim python3; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
mkdir -p "$artifacts"
work=$(mktemp -d "${TMPDIR:-/tmp}/tollvane-wayland.XXXXXX")
chmod 755 "$work"
pids=()

# Only processes that are still this shell's children are signalled.
own_child() { [ "$(ps -o ppid= -p "$1" 2>/dev/null | tr -d ' ')" = "$$" ]; }
stop_all() {
    for p in "${pids[@]}"; do own_child "$p" && kill "$p" 2>/dev/null; done
    sleep 0.3
    for p in "${pids[@]}"; do own_child "$p" && kill -KILL "$p" 2>/dev/null; done
    wait 2>/dev/null
    pids=()
}
cleanup() {
    stop_all
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM
fail() { echo "FAIL: $*"; tail -n 20 "$work"/*.log 2>/dev/null; exit 1; }

# The program's own session: a scratch home and runtime folder, Qt's Wayland platform and no X.
mkdir -m 700 "$work/runtime" "$work/home"
export HOME=$work/home XDG_RUNTIME_DIR=$work/runtime XDG_CONFIG_HOME=$work/home/config
export QT_QPA_PLATFORM=wayland
unset DISPLAY DBUS_SESSION_BUS_ADDRESS SESSION_MANAGER XDG_ACTIVATION_TOKEN PULSE_SERVER
unset QT_WAYLAND_DISABLE_WINDOWDECORATION QT_WAYLAND_CLIENT_BUFFER_INTEGRATION
settings=$XDG_CONFIG_HOME/Tollvane/settings.ini

start_program() {  # sets app
    "$program" >"$work/tollvane.log" 2>&1 &
    app=$!
    pids+=("$app")
}

# A second start, with the environment assignments given: hands over, ends with status 0, and
# leaves the first running alone.
second_start() {
    local begin status ms
    begin=$(date +%s%N)
    timeout 20 env "$@" "$program" >"$work/second.log" 2>&1
    status=$?
    ms=$(( ($(date +%s%N) - begin) / 1000000 ))
    [ "$status" = 0 ] || fail "the second start ended with status $status"
    echo "second start handed over and ended in $ms ms"
    sleep 0.3
    kill -0 "$app" 2>/dev/null || fail "the first program ended"
    [ "$(pgrep -c -x -f "$program")" = 1 ] || fail "$(pgrep -c -x -f "$program") programs run"
}

# SIGTERM, as a session ends it at logout: the values in the window are saved.
end_by_sigterm() {
    rm -f "$settings"
    kill -TERM "$app"
    timeout 15 tail --pid="$app" -f /dev/null || fail "the program did not end on SIGTERM"
    grep -q '^lastsettings\\timealarm=7:30$' "$settings" || fail "SIGTERM did not save the alarm"
    grep -q '^lastsettings\\alarmmusic=800$' "$settings" || fail "SIGTERM did not save the frequency"
}

stored_values() {
    mkdir -p "$(dirname "$settings")"
    printf '[vuvuririvivur]\nlastsettings\\timealarm=7:30\nlastsettings\\alarmmusic=800\n' >"$settings"
}

echo "== Weston: the program's own frame, no OpenGL"
mkdir -m 700 "$work/weston"
XDG_RUNTIME_DIR=$work/weston weston --backend=headless-backend.so --use-pixman --no-config \
    --socket=wayland-e2e --width=1024 --height=768 --idle-time=0 --debug >"$work/weston.log" 2>&1 &
pids+=($!)
export WAYLAND_DISPLAY=$work/weston/wayland-e2e
for _ in $(seq 100); do [ -S "$WAYLAND_DISPLAY" ] && break; sleep 0.1; done
[ -S "$WAYLAND_DISPLAY" ] || fail "Weston did not start"
# Weston's protocol log shows what the program asks of its windows.
weston-debug proto >"$work/proto.txt" 2>"$work/weston-debug.log" &
pids+=($!)
sleep 0.5
stored_values
start_program
for _ in $(seq 100); do grep -q 'set_title("Tollvane")' "$work/proto.txt" && break; sleep 0.1; done
grep -q 'set_title("Tollvane")' "$work/proto.txt" || fail "no window titled Tollvane under Weston"
sleep 1
size() { grep -o "set_$1_size([0-9]*, [0-9]*)" "$work/proto.txt" | tail -n 1 | grep -o '[0-9]*, [0-9]*'; }
if [ -z "$(size min)" ] || [ "$(size min)" != "$(size max)" ]; then
    fail "the main window is not fixed in size: min $(size min), max $(size max)"
fi
width=$(size min | cut -d, -f1)
[ "$width" -gt "$client_width" ] ||
    fail "the window is $width pixels wide: no frame around the $client_width of its client area"
if grep -E -i 'libEGL_mesa|swrast_dri|libLLVM|libGLX_mesa' "/proc/$app/maps" >"$work/gl.txt"; then
    fail "an OpenGL stack is loaded: $(awk '{print $6}' "$work/gl.txt" | sort -u | tr '\n' ' ')"
fi
(cd "$artifacts" && rm -f wayland-screenshot-*.png &&
    XDG_RUNTIME_DIR=$work/weston weston-screenshooter >/dev/null 2>&1 &&
    mv wayland-screenshot-*.png weston-main-window.png) || echo "no screenshot under Weston"
second_start
end_by_sigterm
stop_all

echo "== sway: the compositor's frame, a second start's activation"
sway_dir=$work/sway
mkdir -m 700 "$sway_dir"
cat >"$work/sway.config" <<'CONFIG'
xwayland disable
output HEADLESS-1 resolution 1024x768
focus_on_window_activation focus
CONFIG
# sway does not run as root: as root, it runs as nobody, which the program (root) can still reach.
as_user=()
if [ "$(id -u)" = 0 ]; then
    chown nobody:nogroup "$sway_dir"
    as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
fi
env -i PATH="$PATH" HOME="$sway_dir" XDG_RUNTIME_DIR="$sway_dir" WLR_BACKENDS=headless \
    WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman "${as_user[@]}" \
    sway -c "$work/sway.config" >"$work/sway.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -S "$sway_dir/wayland-1" ] && ls "$sway_dir"/sway-ipc.*.sock >/dev/null 2>&1 && break; sleep 0.1; done
[ -S "$sway_dir/wayland-1" ] || fail "sway did not start"
export WAYLAND_DISPLAY=$sway_dir/wayland-1
ipc=$(ls "$sway_dir"/sway-ipc.*.sock | head -n 1)

# The main window in sway's tree: "title focused width", or nothing.
main_window() {
    swaymsg -s "$ipc" -t get_tree 2>/dev/null | python3 -c '
import json, sys
def walk(n):
    if n.get("name") == "Tollvane" and n.get("app_id") is not None:
        print(n["name"], str(n["focused"]).lower(), n["window_rect"]["width"])
    for c in n.get("nodes", []) + n.get("floating_nodes", []):
        walk(c)
walk(json.load(sys.stdin))'
}
stored_values
start_program
for _ in $(seq 100); do [ -n "$(main_window)" ] && break; sleep 0.1; done
[ -n "$(main_window)" ] || fail "no window titled Tollvane under sway"
sleep 1
read -r _ focused width <<<"$(main_window)"
[ "$width" = "$client_width" ] || fail "the window is $width pixels wide under sway's frame, not $client_width"
grim "$artifacts/sway-main-window.png" 2>/dev/null || echo "no screenshot under sway"
# Back to the front from another workspace: sets focused.
comes_to_front() {
    swaymsg -s "$ipc" workspace 2 >/dev/null || fail "sway did not switch to another workspace"
    sleep 0.3
    read -r _ focused _ <<<"$(main_window)"
    [ "$focused" = false ] || fail "the window kept the focus on another workspace"
    "$@"
    for _ in $(seq 30); do read -r _ focused _ <<<"$(main_window)"; [ "$focused" = true ] && break; sleep 0.1; done
}
comes_to_front second_start
[ "$focused" = true ] || fail "the second start's activation did not bring the window to the front"
# A second start that has no token to pass (here: not on Wayland itself): the running program asks
# the compositor for one of its own, and the compositor decides; this sway brings it to the front.
comes_to_front second_start QT_QPA_PLATFORM=offscreen
[ "$focused" = true ] || fail "a second start without a token did not bring the window to the front"
end_by_sigterm
echo "PASS"
