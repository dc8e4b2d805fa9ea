#!/bin/sh
# Usage: check_no_web_engine.sh EXECUTABLE
# Fails when EXECUTABLE loads a browser engine library: the alarm program must start without one.
set -u
libraries=$(ldd "$1") || { echo "ldd failed on $1" >&2; exit 1; }
if printf '%s\n' "$libraries" | grep -i 'webengine'; then
    echo "$1 links a browser engine library (above)" >&2
    exit 1
fi
echo "$1: $(printf '%s\n' "$libraries" | wc -l) libraries, none of a browser engine"
