#!/bin/bash
# Builds the native core and tests, the 64-bit Windows build (run under Wine)
# and the 32-bit release SkarnVale.exe:
#   build.sh ["native win64 win32" [TARGET]]
# the build folders named (these three by default), each configured when it
# is not yet, with all their targets or only TARGET (e.g. SkarnVale).
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
target=${2:-}
for d in ${1:-native win64 win32}; do
    case $d in
    native) configure build/native -DCMAKE_BUILD_TYPE=Release ;;
    win64) configure build/win64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake ;;
    win32) configure build/win32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake ;;
    esac
    cmake --build "build/$d" -j"$jobs" ${target:+--target "$target"}
done
