#!/bin/sh
# Builds tollvane.exe with clang for the Windows target (cmake/clang-mingw-w64-x86_64.cmake)
# into build/windows-clang, warnings as errors: what clang finds in the Windows code that GCC lets
# through. scripts/test.sh runs it in its lane of builds; needs clang and the mingw-w64 packages
# (setup-debian.sh).
#   windows-clang.sh [CMAKE_ARGS...]   e.g. -DCMAKE_CXX_COMPILER_LAUNCHER=ccache
set -eu
cd "$(dirname "$0")/.."
cmake -S . -B build/windows-clang --toolchain cmake/clang-mingw-w64-x86_64.cmake \
    -DCMAKE_BUILD_TYPE=Release -DTOLLVANE_WITH_QT=OFF -DTOLLVANE_TESTS=OFF -DTOLLVANE_WERROR=ON \
    "$@"
cmake --build build/windows-clang --target tollvane -j2
echo "windows-clang: build/windows-clang/bin/tollvane.exe built with clang, no warning"
