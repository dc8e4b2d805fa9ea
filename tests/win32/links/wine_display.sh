# Wine with a display, for the tests of the program's windows and of its installer. Sourced by
# run_on_display.sh and scripts/package-windows-test.sh (POSIX sh); set WINEPREFIX first.
#   wine_display_start   a display: $DISPLAY when set, else an Xvfb of its own
#   wine_prefix_ready    the prefix booted and set up for windows without a window manager
#   wine_display_stop    the prefix's Wine server and programs ended, the own Xvfb stopped
# Wine draws the frames itself (X11 driver Managed=N), with its own fonts copied into the prefix.

export WINEDEBUG=-all
# No offer to fetch Mono or Gecko (the HTML engine), which would open dialogs of their own; and
# no menu entries or file associations written into the user's own desktop for the shortcuts
# and programs of the prefix.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
unset WAYLAND_DISPLAY
WINE=/usr/lib/wine/wine64
wine_display_xvfb=
wine_display_work=

wine_display_start() {
    wine_display_work=$(mktemp -d "${TMPDIR:-/tmp}/tollvane-display.XXXXXX")
    if [ -z "${DISPLAY:-}" ]; then
        # Xvfb picks a free display and writes its number once it accepts clients.
        Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$wine_display_work/display" \
            </dev/null >"$wine_display_work/xvfb.log" 2>&1 &
        wine_display_xvfb=$!
        waited=0
        while [ ! -s "$wine_display_work/display" ] && [ $waited -lt 100 ]; do
            sleep 0.1
            waited=$((waited + 1))
        done
        if [ ! -s "$wine_display_work/display" ]; then
            echo "wine_display: Xvfb did not start" >&2
            cat "$wine_display_work/xvfb.log" >&2
            return 1
        fi
        DISPLAY=:$(cat "$wine_display_work/display")
    fi
    export DISPLAY
}

wine_prefix_ready() {
    mkdir -p "$WINEPREFIX"
    # One server for all the programs of the run, so Wine's helper processes start only once.
    wineserver -p </dev/null >/dev/null 2>&1 || true
    [ -e "$WINEPREFIX/.tollvane-display" ] && return 0
    "$WINE" wineboot -i </dev/null >/dev/null 2>&1 || true
    "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f \
        </dev/null >/dev/null 2>&1
    mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
    cp /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/"
    : >"$WINEPREFIX/.tollvane-display"
}

wine_display_stop() {
    wineserver -k </dev/null >/dev/null 2>&1 || true
    if [ -n "$wine_display_xvfb" ]; then
        kill "$wine_display_xvfb" 2>/dev/null || true
        wait "$wine_display_xvfb" 2>/dev/null || true
        wine_display_xvfb=
    fi
    [ -n "$wine_display_work" ] && rm -rf "$wine_display_work"
    wine_display_work=
}
