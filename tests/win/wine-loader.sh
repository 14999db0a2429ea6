#!/bin/sh
# Prints the Wine loader for a Windows program. Once wine32 is installed,
# Debian's `wine` starts every program through the 32-bit loader, a 64-bit one
# behind a launcher process of its own; so 32-bit programs go to `wine` and
# 64-bit ones (and Wine's own tools named without a path) to the 64-bit loader.
case ${1:-} in
*.exe | *.EXE)
    if [ -f "$1" ] && file -b "$1" | grep -q '^PE32 '; then
        echo wine
        exit 0
    fi ;;
esac
if [ -x /usr/lib/wine/wine64 ]; then echo /usr/lib/wine/wine64; else echo wine; fi
