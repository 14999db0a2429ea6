#!/bin/bash
# Says whether this machine runs 32-bit x86 programs, by building a static
# 32-bit ELF that only exits and running it. Exits 0 when it can; otherwise
# prints why not and exits 1. Installing wine32 where it cannot breaks the
# `wine` command for 64-bit programs too, so this is asked first.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
if ! command -v as >/dev/null || ! command -v ld >/dev/null; then
    echo "there is no assembler and linker (binutils) to build the 32-bit probe"
    exit 1
fi
mkdir -p "$root/build"
probe=$(mktemp -d "$root/build/probe32.XXXXXX")
trap 'rm -rf "$probe"' EXIT
printf '.globl _start\n_start: movl $1,%%eax\n xorl %%ebx,%%ebx\n int $0x80\n' >"$probe/exit.s"
if ! as --32 "$probe/exit.s" -o "$probe/exit.o" 2>/dev/null || ! ld -m elf_i386 "$probe/exit.o" -o "$probe/exit" 2>/dev/null; then
    echo "the assembler or linker cannot make 32-bit programs"
    exit 1
fi
if ! "$probe/exit" 2>/dev/null; then
    # A kernel built with 32-bit emulation may have been booted with it off.
    if zcat /proc/config.gz 2>/dev/null | grep -qx 'CONFIG_IA32_EMULATION=y' && ! grep -qw 'ia32_emulation=on' /proc/cmdline; then
        echo "the kernel does not run 32-bit programs: its 32-bit emulation is off at boot (ia32_emulation=on on the kernel's command line turns it on)"
    else
        echo "the kernel does not run 32-bit programs (a static 32-bit probe failed to run)"
    fi
    exit 1
fi
