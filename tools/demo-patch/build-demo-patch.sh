#!/bin/bash
# Builds the demo product (v1 .msi and its 7.1.0.5 rebuild) and the demo patches into OUTDIR.
#
# usage: tools/demo-patch/build-demo-patch.sh OUTDIR [WINEPREFIX]
#
# Leaves OUTDIR/kelvarin.msi, OUTDIR/kelvarin-sp1.msp and the two failure-test
# patches kelvarin-sp1-fail.msp (1603), kelvarin-sp1-reboot.msp (3010) and
# kelvarin-sp1-probe.msp (runs C:\probe.exe against the package while it applies). The
# tools mspbuild.exe and msiq.exe are built for the architecture Wine runs
# (SPLAUNCH_WINE_ARCH, scripts/wine-env.sh) into that architecture's folder OUTDIR/win32 or
# OUTDIR/win64, beside the Wine prefix (default OUTDIR/<arch>/prefix), which is created
# when missing and must be owned by the caller. Needs python3, wixl, msiinfo, cmake, the
# MinGW-w64 cross compiler and wine.
set -euo pipefail

[ $# -ge 1 ] && [ $# -le 2 ] || { echo "usage: $0 OUTDIR [WINEPREFIX]" >&2; exit 2; }
tools=$(cd "$(dirname "$0")" && pwd)
demo=$(cd "$tools/../../demo" && pwd)
source "$tools/../../scripts/wine-env.sh"
mkdir -p "$1"
out=$(cd "$1" && pwd)
arch=$(wine_arch_dir "$out")
prefix=$(mkdir -p "${2:-$arch/prefix}" && cd "${2:-$arch/prefix}" && pwd)

export WINEPREFIX="$prefix" HOME="$arch/home"
unset DISPLAY
case "$SPLAUNCH_WINE_ARCH" in win64) toolchain=mingw-x86_64 ;; *) toolchain=mingw-i686 ;; esac
mkdir -p "$HOME"

timed() {  # timed LABEL COMMAND...: runs the command, prints how long it took
    local label=$1 start end
    shift
    start=$(date +%s.%N)
    "$@"
    end=$(date +%s.%N)
    awk -v l="$label" -v s="$start" -v e="$end" 'BEGIN { printf "%-28s %6.2f s\n", l, e - s }' >&2
}

# 1. The product as shipped (v1) and rebuilt at 7.1.0.5 (v2: same keys, new contents).
rm -rf "$out/v1" "$out/v2"
python3 "$demo/gen-kelvarin.py" "$out/v1"
python3 "$demo/gen-kelvarin.py" "$out/v2" --version 7.1.0.5
(cd "$out/v1" && timed "wixl v1" wixl -a x86 -o kelvarin.msi kelvarin.wxs)
(cd "$out/v2" && timed "wixl v2" wixl -a x86 -o kelvarin.msi kelvarin.wxs)
msiinfo extract "$out/v2/kelvarin.msi" kelvarin.cab > "$out/v2/kelvarin-v2.cab"
cp "$out/v1/kelvarin.msi" "$out/kelvarin.msi"

# 2. The builder and the query tool (cross build), built anew so that a changed toolchain
# never meets a stale cache.
rm -rf "$arch/tools-build"
cmake -S "$tools" -B "$arch/tools-build" -DCMAKE_TOOLCHAIN_FILE="$tools/../../cmake/$toolchain.cmake" \
      -DCMAKE_BUILD_TYPE=Release > /dev/null
timed "build tools" cmake --build "$arch/tools-build" -j2 > /dev/null
cp "$arch/tools-build/mspbuild.exe" "$arch/tools-build/msiq.exe" "$arch/"

# 3. A prefix, then the patches; the definitions use paths relative to OUTDIR.
created=0
if [ ! -f "$prefix/system.reg" ]; then
    timed "new prefix" wineboot -i
    created=1
fi
cp "$demo"/kelvarin-sp1*.patch "$out/"
cd "$out"
for def in kelvarin-sp1 kelvarin-sp1-fail kelvarin-sp1-reboot kelvarin-sp1-probe; do
    timed "mspbuild $def" wine "$arch/mspbuild.exe" "$def.patch" "$def.msp"
done
# A prefix made here gets its server stopped; a caller's prefix keeps its own.
[ "$created" -eq 0 ] || wineserver -w
ls -l "$out"/*.msi "$out"/*.msp
