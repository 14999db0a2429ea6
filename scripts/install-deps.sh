#!/bin/bash
# Installs from Debian's packages whatever of the build and test tools is missing.
set -eu
packages=(cmake g++ clang libclang-rt-14-dev googletest python3 g++-mingw-w64-i686 g++-mingw-w64-x86-64
          wine wine64 xvfb xdotool imagemagick x11-utils procps util-linux file dovecot-pop3d)
missing=()
for p in "${packages[@]}"; do
    dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
# With their recommended packages: Wine draws text and pictures with fonts-wine,
# the X render extension and friends, which it only recommends.
$sudo apt-get install -y -qq "${missing[@]}" >/dev/null
