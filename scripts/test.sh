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
later=()
if ! why=$("$root/scripts/can-run-32bit.sh"); then
    echo "== 32-bit runs skipped: $why"
elif ! dpkg-query -W -f='${db:Status-Status}' wine32:i386 2>/dev/null | grep -qx installed; then
    echo "== 32-bit runs skipped: wine32:i386 is not installed"
else
    echo "== 32-bit runs: the i686 release build and its tests also run, under 32-bit Wine"
    builds+=(win32)
fi
# SKARNVALE_TEST_BUILDS="win64 win64" tries the side-by-side runs where no 32-bit code runs.
[ -z "${SKARNVALE_TEST_BUILDS:-}" ] || read -ra builds <<<"$SKARNVALE_TEST_BUILDS"

# The end-to-end tests install the setup made from these builds.
echo "== packages"
"$root/scripts/package.sh"

# One build's Windows tests and end-to-end tests, in a Wine session of its
# own: what the platform keeps in a prefix (trusted roots, revocation
# answers, the registry) never passes from one build's run to the other's.
run_build() {
    local b=$1 session rc=0
    session=$(mktemp -d "/tmp/skarnvale-test-$b.XXXXXX")
    export SKARNVALE_WINE_SESSION=$session
    "$root/tests/win/wine-session.sh" start "$session" || rc=1
    if [ $rc -eq 0 ]; then
        echo "== Windows tests under Wine: build/$b (${arch[$b]})"
        ctest --test-dir "build/$b" --output-on-failure || rc=1
    fi
    if [ $rc -eq 0 ]; then
        echo "== end-to-end tests: build/$b"
        python3 tests/e2e/run_e2e.py "build/$b" || rc=1
    fi
    "$root/tests/win/wine-session.sh" stop "$session"
    rm -rf "$session"
    return $rc
}

# A second build runs side by side with the first, in a network of its own
# (its servers take the same addresses and ports) and on displays of its
# own; its output follows the first's. Where no private network can be made,
# the builds run one after the other.
pids=() logs=()
for b in "${builds[@]:1}"; do
    log=$(mktemp "/tmp/skarnvale-test-$b-log.XXXXXX")
    if "$root/scripts/isolated.sh" --check; then
        echo "== build/$b runs side by side, in a network of its own (output at the end)"
        SKARNVALE_FIRST_DISPLAY=200 "$root/scripts/isolated.sh" bash -c "$(declare -p root arch; declare -f run_build)
            cd \"\$root\" && run_build $b" >"$log" 2>&1 &
        pids+=($!) logs+=("$log")
    else
        later+=("$b")
    fi
done
status=0
run_build "${builds[0]}" || status=1
for b in ${later[@]+"${later[@]}"}; do
    run_build "$b" || status=1
done
for i in "${!pids[@]}"; do
    wait "${pids[$i]}" || status=1
    cat "${logs[$i]}"
    rm -f "${logs[$i]}"
done
[ $status -eq 0 ] || { echo "Some tests FAILED." >&2; exit 1; }
echo "All tests passed."
