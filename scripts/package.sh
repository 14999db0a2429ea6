#!/bin/bash
# Makes the packages a Windows user downloads, in dist/:
#   SkarnVale-VERSION-x64.zip   build/win64/SkarnVale.exe and ReadMe.txt
#   SkarnVale-VERSION-x86.zip   build/win32/SkarnVale.exe (the PE32 release) and ReadMe.txt
#   SkarnVale-VERSION-setup.exe the installer (NSIS, packaging/SkarnVale.nsi), a
#                               64-bit setup of build/win64/SkarnVale.exe
# VERSION is the project's (CMakeLists.txt). In the two build folders only the
# program is built, and only when it is missing or older than its sources.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
command -v makensis >/dev/null && command -v zip >/dev/null || "$root/scripts/install-deps.sh"
"$root/scripts/build.sh" "win64 win32" SkarnVale

# The number CMake put into the version resource, from the build itself.
version_of() {
    sed -n 's/^#define SKARNVALE_VERSION "\(.*\)"$/\1/p' "build/$1/generated/Version.h"
}
version=$(version_of win64)
if [ -z "$version" ] || [ "$(version_of win32)" != "$version" ]; then
    echo "package.sh: build/win64 and build/win32 disagree on the version ('$version', '$(version_of win32)')" >&2
    exit 1
fi

mkdir -p dist
stage=$(mktemp -d "$root/build/package.XXXXXX")
trap 'rm -rf "$stage"' EXIT
# The read-me is for Windows' Notepad of every age: CR LF line ends.
sed -e "s/@VERSION@/$version/g" -e 's/$/\r/' packaging/ReadMe.txt >"$stage/ReadMe.txt"

for pair in win64:x64 win32:x86; do
    build=${pair%%:*}
    zip_file="dist/SkarnVale-$version-${pair##*:}.zip"
    mkdir -p "$stage/$build"
    cp "build/$build/SkarnVale.exe" "$stage/ReadMe.txt" "$stage/$build/"
    rm -f "$zip_file"
    (cd "$stage/$build" && zip -q -X -9 "$root/$zip_file" SkarnVale.exe ReadMe.txt)
    echo "$zip_file"
done

setup="dist/SkarnVale-$version-setup.exe"
makensis -V2 -WX -NOCD "-DVERSION=$version" "-DEXE=build/win64/SkarnVale.exe" "-DREADME=$stage/ReadMe.txt" \
    "-DICON=resources/icons/mainicon.ico" "-DOUTFILE=$setup" packaging/SkarnVale.nsi
echo "$setup"
