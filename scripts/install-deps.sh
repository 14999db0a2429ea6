#!/bin/bash
# Installs from Debian's packages whatever of the build and test tools is
# missing; then, where the machine runs 32-bit code, the 32-bit Wine that runs
# the release build and its tests. With --run, only what building and
# starting the 64-bit program takes (scripts/run.sh): a first run is quick.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
run_packages=(cmake googletest g++-mingw-w64-x86-64 wine wine64 xvfb imagemagick x11-utils file)
packages=("${run_packages[@]}" g++ binutils clang libclang-rt-14-dev python3 g++-mingw-w64-i686 xdotool procps
          util-linux dovecot-pop3d dovecot-imapd openssl libssl3 nsis zip)
only_run=false
if [ "${1:-}" = --run ]; then
    only_run=true
    packages=("${run_packages[@]}")
fi
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
export DEBIAN_FRONTEND=noninteractive

# A mirror in the middle of a sync serves index files of the wrong size for a
# minute or two: try again, then go on with what was fetched.
update_index() {
    local try
    for try in 1 2 3; do
        $sudo apt-get update -qq && return 0
        if [ "$try" -lt 3 ]; then sleep $((try * 20)); fi
    done
    echo "apt-get update failed three times; going on with the package lists there are." >&2
}

# Prints those of the packages named that are installed, as named (the native
# architecture's without a suffix).
installed() {
    dpkg-query -W -f='${binary:Package} ${db:Status-Status}\n' "$@" 2>/dev/null |
        sed -n -e "s/:$(dpkg --print-architecture) / /" -e 's/ installed$//p'
}
# One dpkg query for all: this runs before every build and test run.
have=" $(installed "${packages[@]}" | tr '\n' ' ') "
missing=()
for p in "${packages[@]}"; do
    [[ $have == *" $p "* ]] || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    update_index
    # With their recommended packages: Wine draws text and pictures with fonts-wine,
    # the X render extension and friends, which it only recommends.
    $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
fi

# 32-bit Wine only where 32-bit code runs: asked after the packages above,
# which bring the assembler and linker the probe is built with.
$only_run && exit 0
[ -n "$(installed wine32:i386)" ] && exit 0
if ! reason=$("$here/can-run-32bit.sh"); then
    echo "Not installing wine32: $reason."
    exit 0
fi
echo "Installing: wine32:i386"
dpkg --print-foreign-architectures | grep -qx i386 || $sudo dpkg --add-architecture i386
update_index
# Also when the mirror's i386 security index is broken (install-wine32.sh says
# how). Without it only the 32-bit runs are left out (test.sh says so), not the suite.
"$here/install-wine32.sh" ||
    echo "Could not install wine32:i386; the 32-bit runs will be skipped." >&2
