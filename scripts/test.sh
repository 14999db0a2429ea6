#!/bin/bash
# The whole test suite: native unit tests (plain and with ASan+UBSan), the
# Windows tests under Wine and the end-to-end tests of SkarnVale.exe.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
"$root/scripts/install-deps.sh"
[ -f build/native-asan/CMakeCache.txt ] ||
    cmake -S . -B build/native-asan -DCMAKE_BUILD_TYPE=Debug -DSKARNVALE_SANITIZE=ON \
          -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang >/dev/null
"$root/scripts/build.sh" "native native-asan win64 win32"

echo "== native tests"
ctest --test-dir build/native --output-on-failure -j2
echo "== native tests with ASan+UBSan"
ctest --test-dir build/native-asan --output-on-failure -j2
echo "== fuzz targets" && ./fuzz/run.sh 5

echo "== release build"
file build/win32/SkarnVale.exe | grep -q 'PE32 executable (GUI) Intel 80386'
if i686-w64-mingw32-objdump -p build/win32/SkarnVale.exe | grep -iE 'DLL Name: (libstdc|libgcc|libwinpthread)'; then
    echo "SkarnVale.exe is not statically linked" >&2
    exit 1
fi

# The release build and its tests also run under 32-bit Wine, where the
# machine runs 32-bit code and install-deps.sh could install wine32.
declare -A arch=([win64]="x86_64, 64-bit Wine" [win32]="i686, 32-bit Wine")
builds=(win64)
if ! why=$("$root/scripts/can-run-32bit.sh"); then
    echo "== 32-bit runs skipped: $why"
elif ! dpkg-query -W -f='${db:Status-Status}' wine32:i386 2>/dev/null | grep -qx installed; then
    echo "== 32-bit runs skipped: wine32:i386 is not installed"
else
    echo "== 32-bit runs: the i686 release build and its tests also run, under 32-bit Wine"
    builds+=(win32)
fi

export SKARNVALE_WINE_SESSION=$(mktemp -d /tmp/skarnvale-test.XXXXXX)
trap '"$root/tests/win/wine-session.sh" stop "$SKARNVALE_WINE_SESSION"; rm -rf "$SKARNVALE_WINE_SESSION"' EXIT
"$root/tests/win/wine-session.sh" start "$SKARNVALE_WINE_SESSION"
for b in "${builds[@]}"; do
    echo "== Windows tests under Wine: build/$b (${arch[$b]})"
    ctest --test-dir "build/$b" --output-on-failure
done
# The end-to-end tests install the setup made from these builds.
echo "== packages"
"$root/scripts/package.sh"
echo "== end-to-end tests: ${builds[*]/#/build/}"
python3 tests/e2e/run_e2e.py "${builds[@]/#/build/}"
echo "All tests passed."
