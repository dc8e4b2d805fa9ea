#!/usr/bin/env bash
# A build that requires everything (TOLLVANE_REQUIRE_ALL, as the `ci` preset sets it) refuses to
# configure on a machine where Qt WebEngine, libpulse, Xvfb or the sanitizer runtime is missing,
# and names each; without the option the same machine configures, leaving those parts out.
# The four are hidden from a scratch configuration: WebEngine by CMake's switch for one package,
# libpulse by a pkg-config search path without it, Xvfb by a path that does not exist, and the
# sanitizer runtime by the answer of its check given in advance. Every other library stays in
# sight (the Wayland client library among them, which the program needs).
#   require_all_test.sh SOURCE_DIR CMAKE SCRATCH_DIR
set -u
source=$1 cmake=$2 scratch=$3
hidden=(-DCMAKE_DISABLE_FIND_PACKAGE_Qt6WebEngineWidgets=ON -DTOLLVANE_XVFB=/nonexistent/Xvfb
        -DTOLLVANE_HAVE_SANITIZER_RUNTIME=OFF)
# pkg-config sees every library of the machine but libpulse.
pc=$scratch.pkgconfig
rm -rf "$pc"
mkdir -p "$pc"
for dir in $(pkg-config --variable pc_path pkg-config | tr ':' ' '); do
    for f in "$dir"/*.pc; do
        case ${f##*/} in libpulse*) ;; *) [ -e "$f" ] && ln -sf "$f" "$pc/" ;; esac
    done
done
configure() {  # configure ON|OFF LOG
    rm -rf "$scratch"
    PKG_CONFIG_LIBDIR=$pc PKG_CONFIG_PATH='' \
        "$cmake" -S "$source" -B "$scratch" -DTOLLVANE_REQUIRE_ALL="$1" "${hidden[@]}" >"$2" 2>&1
}
fail() { echo "FAIL: $*"; exit 1; }

configure ON "$scratch.on.log" && { cat "$scratch.on.log"; fail "configured with everything missing"; }
for missing in "Qt WebEngine not found" "libpulse not found" "Xvfb not found" \
               "sanitizer runtime"; do
    # CMake wraps its messages: compare with the lines joined.
    tr -s ' \n' ' ' <"$scratch.on.log" | grep -q "CMake Error.*$missing" ||
        { cat "$scratch.on.log"; fail "no error names: $missing"; }
    echo "refused, naming: $missing"
done

configure OFF "$scratch.off.log" || { cat "$scratch.off.log"; fail "did not configure without the option"; }
tr -s ' \n' ' ' <"$scratch.off.log" | grep -q "CMake Warning.*libpulse not found" ||
    fail "no warning names what was left out"
echo "without the option: configured, with warnings"
rm -rf "$scratch" "$scratch.on.log" "$scratch.off.log" "$pc"
echo PASS
