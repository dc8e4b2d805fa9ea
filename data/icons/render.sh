#!/bin/sh
# Renders tollvane.svg to the PNGs of the hicolor sizes (needs rsvg-convert from librsvg2-bin).
# Run after changing the artwork and commit the PNGs with it; a test compares them with a fresh
# rendering.
set -eu
cd "$(dirname "$0")"
for size in 16 32 48 64 128 256; do
    rsvg-convert --width="$size" --height="$size" --output="tollvane-$size.png" tollvane.svg
done
