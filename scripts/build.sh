#!/bin/bash
# Builds the native core and tests, the 64-bit Windows build (run under Wine)
# and the 32-bit release SkarnVale.exe.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
jobs=$(nproc)
# A compiler cache, when there is one, shared by every checkout under the same parent.
launcher=()
if command -v ccache >/dev/null; then
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
    export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$(dirname "$root")}
fi
configure() { [ -f "$1/CMakeCache.txt" ] || cmake -S . -B "$@" "${launcher[@]}" >/dev/null; }
configure build/native -DCMAKE_BUILD_TYPE=Release
configure build/win64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake
configure build/win32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake
for b in "${@:-native win64 win32}"; do
    for d in $b; do cmake --build "build/$d" -j"$jobs"; done
done
