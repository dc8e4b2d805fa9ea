#!/usr/bin/env bash
# The core is the program without its platform: each file of app/, windows/, alarm/, reminder/,
# links/ and platform/ports.h includes only files of the core and headers of the C++ standard
# library, and tollvane_core compiles only files of the core. Names every include and every source
# that breaks it, and fails.
#   core_is_platform_free_test.sh SRC_DIR "CORE_SOURCES"   (CMake's list of tollvane_core's sources)
#   core_is_platform_free_test.sh --with-include HEADER SRC_DIR "CORE_SOURCES"
#       the same check of a copy of the core whose app/program.h includes HEADER: it must fail
set -uo pipefail
if [ "${1:-}" = --with-include ]; then
    header=$2 src=$3
    copy=$(mktemp -d)
    trap 'rm -rf "$copy"' EXIT
    mkdir -p "$copy/platform"
    cp -r "$src/app" "$src/windows" "$src/alarm" "$src/reminder" "$src/links" "$copy/"
    cp "$src/platform/ports.h" "$copy/platform/"
    echo "#include $header" >>"$copy/app/program.h"
    "$0" "$copy" "$4"
    exit
fi
src=$1
IFS=';' read -ra sources <<<"${2:-}"

standard=" algorithm any array atomic barrier bit bitset cassert cctype cerrno cfenv cfloat
charconv chrono cinttypes climits clocale cmath codecvt compare complex concepts
condition_variable coroutine csetjmp csignal cstdarg cstddef cstdint cstdio cstdlib cstring ctime
cuchar cwchar cwctype deque exception execution filesystem format forward_list fstream functional
future initializer_list iomanip ios iosfwd iostream istream iterator latch limits list locale map
memory memory_resource mutex new numbers numeric optional ostream queue random ranges ratio regex
scoped_allocator semaphore set shared_mutex source_location span sstream stack stdexcept
stop_token streambuf string string_view syncstream system_error thread tuple type_traits
typeindex typeinfo unordered_map unordered_set utility valarray variant vector version "
standard=" $(echo $standard) "

is_core() {
    case $1 in
        app/* | windows/* | alarm/* | reminder/* | links/* | platform/ports.h) return 0 ;;
    esac
    return 1
}

failures=0
fail() {
    echo "$1"
    failures=$((failures + 1))
}

cd "$src" || exit 1
for file in $(find app windows alarm reminder links -name '*.h' -o -name '*.cpp') platform/ports.h; do
    while IFS=: read -r number line; do
        if [[ $line =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*\"([^\"]+)\" ]]; then
            header=${BASH_REMATCH[1]}
            if ! is_core "$header" || [ ! -f "$header" ]; then
                fail "$file:$number: includes \"$header\", which is not a file of the core"
            fi
        elif [[ $line =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*\<([^\>]+)\> ]]; then
            header=${BASH_REMATCH[1]}
            if [[ $standard != *" $header "* ]]; then
                fail "$file:$number: includes <$header>, which is not of the C++ standard library"
            fi
        else
            fail "$file:$number: an include this check cannot read: $line"
        fi
    done < <(grep -nE '^[[:space:]]*#[[:space:]]*include' "$file")
done
for source in "${sources[@]}"; do
    source=${source#"$src/"}
    is_core "$source" || fail "tollvane_core compiles $source, which is not a file of the core"
done
[ ${#sources[@]} -gt 0 ] || fail "no sources of tollvane_core given"

if [ $failures -gt 0 ]; then
    echo "the core is not free of the platform: $failures finding(s)"
    exit 1
fi
echo "the core includes only itself and the C++ standard library; tollvane_core compiles only it"
