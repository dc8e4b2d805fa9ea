#!/bin/sh
# The committed PNGs are the artwork rendered at their sizes (data/icons/render.sh makes them):
# an artwork changed without rendering again fails here.
#   icons_test.sh ICON_DIR RSVG_CONVERT COMPARE IDENTIFY
set -u
dir=$1 rsvg=$2 compare=$3 identify=$4
scratch=$(mktemp -d) || exit 1
trap 'rm -rf "$scratch"' EXIT
status=0
for size in 16 32 48 64 128 256; do
    png=$dir/tollvane-$size.png
    [ "$("$identify" -format '%wx%h' "$png")" = "${size}x${size}" ] || { echo "FAIL: $png is not ${size}x${size}"; status=1; continue; }
    "$rsvg" --width=$size --height=$size --output="$scratch/$size.png" "$dir/tollvane.svg" || exit 1
    # Root mean square difference over all channels, 0 (same) to 1; a renderer update may move a
    # few edge pixels, a changed drawing moves much more.
    diff=$("$compare" -metric RMSE "$png" "$scratch/$size.png" null: 2>&1 | sed -n 's/.*(\(.*\)).*/\1/p')
    if awk -v d="$diff" 'BEGIN { exit !(d == "" || d > 0.02) }'; then
        echo "FAIL: $png differs from the artwork rendered at $size (RMSE ${diff:-?})"
        status=1
    else
        echo "$size: matches the artwork (RMSE $diff)"
    fi
done
exit $status
