#!/bin/bash
# Builds the native core and tests, the 64-bit Windows build (run under Wine)
# and the 32-bit release SkarnVale.exe.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
jobs=$(nproc)
configure() { [ -f "$1/CMakeCache.txt" ] || cmake -S . -B "$@" >/dev/null; }
configure build/native -DCMAKE_BUILD_TYPE=Release
configure build/win64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake
configure build/win32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake
for b in "${@:-native win64 win32}"; do
    for d in $b; do cmake --build "build/$d" -j"$jobs"; done
done
