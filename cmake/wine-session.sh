#!/bin/sh
# The Wine session the Windows tests run in: wine-session.sh start|stop|check PREFIX
#
# start: one Wine server kept for the whole run (so that Wine's helper processes start once, not
# with every test), the prefix booted and set up as the tests need it, and an X display of its own
# for the windows. Wine draws its windows' frames itself, without a window manager
# (Managed=N), with its own fonts in the prefix (the title-bar buttons need Marlett); Comic Neue
# stands in for Comic Sans MS. wine-run.sh finds the display in PREFIX/.tollvane-display.
# stop: ends the server and the display.
# check: fails unless the session's prefix runs exactly one service manager (services.exe).
set -eu
if [ $# -ne 2 ]; then
    echo "usage: $0 start|stop|check WINEPREFIX" >&2
    exit 2
fi
case $2 in
    /*) WINEPREFIX=$2 ;;
    *) WINEPREFIX=$(pwd)/$2 ;;
esac
export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine=/usr/lib/wine/wine64
displayFile=$WINEPREFIX/.tollvane-display
xvfbPid=$WINEPREFIX/.tollvane-xvfb.pid

stop() {
    wineserver -k </dev/null >/dev/null 2>&1 || true
    if [ -f "$xvfbPid" ]; then
        kill "$(cat "$xvfbPid")" 2>/dev/null || true
        rm -f "$xvfbPid"
    fi
    rm -f "$displayFile"
}

case $1 in
    stop)
        stop
        exit 0
        ;;
    check)
        managers=0
        for p in /proc/[0-9]*; do
            [ "$(cat "$p/comm" 2>/dev/null)" = services.exe ] || continue
            if tr '\0' '\n' 2>/dev/null <"$p/environ" | grep -qxF "WINEPREFIX=$WINEPREFIX"; then
                managers=$((managers + 1))
            fi
        done
        if [ "$managers" -ne 1 ]; then
            echo "wine-session: $managers service managers run in $WINEPREFIX, not one" >&2
            exit 1
        fi
        exit 0
        ;;
    start) ;;
    *)
        echo "usage: $0 start|stop|check WINEPREFIX" >&2
        exit 2
        ;;
esac

stop
mkdir -p "$WINEPREFIX"

# A display number nobody uses. Xvfb takes its lock file atomically and gives up when another
# server (a test started at the same moment) took the number first: then the next one.
n=90
while :; do
    while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do
        n=$((n + 1))
    done
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
    xvfb=$!
    echo $xvfb >"$xvfbPid"
    waited=0
    until [ -e "/tmp/.X11-unix/X$n" ] || ! kill -0 $xvfb 2>/dev/null; do
        sleep 0.1
        waited=$((waited + 1))
        if [ $waited -gt 100 ]; then
            echo "wine-session: Xvfb :$n did not start" >&2
            exit 1
        fi
    done
    # Ours if the lock holds its process number.
    if [ "$(tr -d ' \n' <"/tmp/.X$n-lock" 2>/dev/null)" = "$xvfb" ]; then break; fi
    kill $xvfb 2>/dev/null || true
    n=$((n + 1))
    if [ $n -gt 200 ]; then
        echo "wine-session: no free X display" >&2
        exit 1
    fi
done
echo ":$n" >"$displayFile"

# Wine's desktop process starts with the first program and keeps the display it was given: the
# server and the prefix start on the tests' display.
DISPLAY=":$n"
export DISPLAY
wineserver -p </dev/null >/dev/null 2>&1
# The first program of a fresh server boots the prefix (creating it if need be) and waits for the
# boot. An explicit `wineboot -i` as that first program would boot it a second time, leaving two
# service managers that lock each other out of the service database: the RPC service then never
# starts, and a program's first use of COM (the shop window's browser control) waits 10 s for it.
"$wine" cmd /c exit 0 </dev/null >/dev/null 2>&1 || true
"$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1
fonts=$WINEPREFIX/drive_c/windows/Fonts
mkdir -p "$fonts"
cp -u /usr/share/wine/fonts/* "$fonts/" 2>/dev/null || true
for f in /usr/share/fonts/*/comic-neue/*; do
    [ -e "$f" ] && cp -u "$f" "$fonts/"
done
