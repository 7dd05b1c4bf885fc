#!/usr/bin/env bash
# The Windows architecture Wine runs on this machine, found by starting a 32-bit program, and what a run of either architecture runs.
#
# usage: wine-arch.sh                  prints win32 when the kernel runs 32-bit programs, else win64
#        wine-arch.sh describe ARCH    prints which build of the launcher a run under ARCH runs, and
#                                      under win64 a second line: why the shipped i686 launcher was not run
set -uo pipefail

# Debian's 32-bit Wine loader is an i386 program: it starts exactly where 32-bit programs run.
LOADER32=/usr/lib/wine/wine

# probe_32bit: succeeds when the 32-bit loader runs; otherwise prints how it failed.
probe_32bit() {
    local out
    if out=$("$LOADER32" --version 2>&1) && [[ $out == wine-* ]]; then
        return 0
    fi
    out=$(echo "${out:-no output}" | head -n 1)
    echo "$LOADER32 --version: ${out#*"$LOADER32": }"    # without the shell's own prefix
    return 1
}

case "${1:-} ${2:-}" in
    " ")
        if probe_32bit >/dev/null; then echo win32; else echo win64; fi
        ;;
    "describe win32")
        echo "an i686 build, as the launcher ships, run by a 32-bit Wine"
        ;;
    "describe win64")
        echo "the x86-64 build of the same source, run by a 64-bit Wine"
        if failure=$(probe_32bit); then
            echo "the shipped i686 launcher was not run end to end: win64 was asked for, though this machine runs 32-bit programs"
        else
            echo "the shipped i686 launcher was not run end to end on this machine: it runs no 32-bit programs ($failure)"
        fi
        ;;
    *)
        echo "usage: $0 [describe win32|win64]" >&2
        exit 2
        ;;
esac
