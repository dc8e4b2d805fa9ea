#!/usr/bin/env bash
# clang-tidy looks at every file of the program that this build compiles, the adapters included:
# each source under src/ in the build's compile commands is on scripts/tidy.sh's list. The one
# exception is main.cpp, which only starts the program.
#   tidy_coverage_test.sh SOURCE_DIR BUILD_DIR
set -u
source=$(cd "$1" && pwd) build=$2
listed=$(bash "$source/scripts/tidy.sh" --list "$build") || { echo "FAIL: tidy.sh cannot list"; exit 1; }
compiled=$(python3 - "$build/compile_commands.json" "$source/" <<'PY'
import json, os, sys
commands, source = sys.argv[1], sys.argv[2]
for entry in json.load(open(commands)):
    path = os.path.normpath(os.path.join(entry["directory"], entry["file"]))
    if path.startswith(source + "src/"):
        print(path[len(source):])
PY
) || { echo "FAIL: no compile commands in $build"; exit 1; }
missing=0
for file in $(sort -u <<<"$compiled"); do
    [ "$file" = src/main.cpp ] && continue
    grep -qxF "$file" <<<"$listed" || { echo "not checked by clang-tidy: $file"; missing=1; }
done
[ "$missing" = 0 ] || { echo "FAIL: files of the program that clang-tidy leaves out"; exit 1; }
echo "PASS: clang-tidy checks all $(wc -l <<<"$listed") files"
