#!/usr/bin/env bash
# Random use of the whole program under AddressSanitizer and UndefinedBehaviorSanitizer for
# MINUTES minutes (tests/monkey/monkey.py): a private X server, a private PulseAudio with a null
# sink, a scratch home. Builds the `asan` preset's program first. The first sanitizer report,
# crash, hang or damaged file fails it; the seed and every action are printed, and
# `scripts/monkey.sh MINUTES SEED` replays a run.
#
#   scripts/monkey.sh MINUTES [SEED [--weight 'ACTION=W' ...]]
# (an empty SEED draws one; a weight makes a run dwell on one action, e.g. 'end request=20')
# The program's output of each run is kept in build/asan/monkey/.
set -euo pipefail
cd "$(dirname "$0")/.."
minutes=${1:?usage: scripts/monkey.sh MINUTES [SEED]}
# The run has a D-Bus session of its own, with the accessibility bus started as a screen reader
# starts it, and the program's accessibility bridge on, so the bridge takes the same random use.
# TOLLVANE_MONKEY_A11Y=0 leaves the bridge off (and the session bus unset).
if [ "${TOLLVANE_MONKEY_A11Y:-1}" = 1 ] && [ -z "${TOLLVANE_MONKEY_BUS:-}" ] &&
    command -v dbus-run-session >/dev/null; then
    export TOLLVANE_MONKEY_BUS=1
    exec dbus-run-session -- "$0" "$@"
fi
bus=  # the session's setup below clears the address
[ -n "${TOLLVANE_MONKEY_BUS:-}" ] && bus=${DBUS_SESSION_BUS_ADDRESS:-}
seed=${2:-}
shift $(($# < 2 ? $# : 2))
root=$PWD

if [ ! -f build/asan/CMakeCache.txt ]; then cmake --preset asan >/dev/null; fi
cmake --build build/asan -j2 --target tollvane
if [ "$minutes" = 0 ]; then exit 0; fi  # 0 minutes: the build alone

. tests/e2e/session.sh
session_require python3
session_start build/asan/bin/tollvane docs/HelpForBrindle.HLP
# The shop window's browser engine trips the sanitizers in its own code, so the shop window is
# the plain build's browser program where there is one; without it the program reports that the
# shop cannot be shown, which the monkey answers like any message.
if [ -x build/ci/bin/tollvane-browser ]; then cp build/ci/bin/tollvane-browser "$bin/"; fi

if [ -n "$bus" ]; then
    export DBUS_SESSION_BUS_ADDRESS=$bus QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
    # The accessibility bus starts when it is first asked for, as a screen reader would ask.
    a11y=$(dbus-send --session --print-reply=literal --dest=org.a11y.Bus /org/a11y/bus \
        org.a11y.Bus.GetAddress 2>/dev/null | tr -d ' ') || a11y=
    echo "monkey: D-Bus session $bus, accessibility bus ${a11y:-not started}, bridge on"
fi
# MONKEY_ASAN_OPTIONS adds options of one's own, e.g. fast_unwind_on_malloc=0 for whole stacks of a
# leak inside libraries built without frame pointers.
export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:abort_on_error=0${MONKEY_ASAN_OPTIONS:+:$MONKEY_ASAN_OPTIONS}
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export LSAN_OPTIONS=suppressions=$root/tests/lsan.supp:print_suppressions=${MONKEY_PRINT_SUPPRESSIONS:-0}
logs=$root/build/asan/monkey
rm -rf "$logs"
mkdir -p "$logs"
python3 tests/monkey/monkey.py --program "$bin/tollvane" --minutes "$minutes" --logs "$logs" \
    ${seed:+--seed "$seed"} "$@"
