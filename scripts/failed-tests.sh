#!/bin/sh
# Prints again what each failed test of the last ctest run in BUILD_DIR printed (its last 40
# lines), so that a long run's failures can be read at its end: failed-tests.sh BUILD_DIR...
for dir in "$@"; do
    failed=$dir/Testing/Temporary/LastTestsFailed.log
    log=$dir/Testing/Temporary/LastTest.log
    if [ ! -s "$failed" ] || [ ! -f "$log" ]; then continue; fi
    cut -d: -f2- "$failed" | while IFS= read -r name; do
        echo "== failed in $dir: $name"
        awk -v name="$name" '
            $0 ~ /^[0-9]+\/[0-9]+ Test: / { sub(/^[0-9]+\/[0-9]+ Test: /, ""); inTest = ($0 == name); next }
            inTest && /^Output:$/ { getline; out = 1; n = 0; next }
            inTest && out && /^<end of output>$/ { out = 0; next }
            inTest && out { lines[n++] = $0 }
            END { for (i = (n > 40 ? n - 40 : 0); i < n; i++) print lines[i] }
        ' "$log"
    done
done
