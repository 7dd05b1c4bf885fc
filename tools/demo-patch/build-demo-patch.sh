#!/bin/bash
# Builds the demo product (v1 .msi and its 7.1.0.5 rebuild) and the demo patches into OUTDIR.
#
# usage: tools/demo-patch/build-demo-patch.sh OUTDIR [WINEPREFIX]
#
# Leaves OUTDIR/kelvarin.msi, OUTDIR/kelvarin-sp1.msp and the two failure-test
# patches kelvarin-sp1-fail.msp (1603), kelvarin-sp1-reboot.msp (3010) and
# kelvarin-sp1-probe.msp (runs C:\probe.exe against the package while it applies), plus the
# tools mspbuild.exe and msiq.exe. The Wine prefix (default OUTDIR/prefix) is
# created when missing; it must be owned by the caller. The tools are built for the
# architecture Wine runs (SPLAUNCH_WINE_ARCH, scripts/wine-env.sh). Needs python3, wixl,
# msiinfo, cmake, the MinGW-w64 cross compiler and wine.
set -euo pipefail

[ $# -ge 1 ] && [ $# -le 2 ] || { echo "usage: $0 OUTDIR [WINEPREFIX]" >&2; exit 2; }
tools=$(cd "$(dirname "$0")" && pwd)
demo=$(cd "$tools/../../demo" && pwd)
mkdir -p "$1"
out=$(cd "$1" && pwd)
prefix=$(mkdir -p "${2:-$out/prefix}" && cd "${2:-$out/prefix}" && pwd)

source "$tools/../../scripts/wine-env.sh"
export WINEPREFIX="$prefix" HOME="$out/home"
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

# 2. The builder and the query tool (cross build).
cmake -S "$tools" -B "$out/tools-build" -DCMAKE_TOOLCHAIN_FILE="$tools/../../cmake/$toolchain.cmake" \
      -DCMAKE_BUILD_TYPE=Release > /dev/null
timed "build tools" cmake --build "$out/tools-build" -j2 > /dev/null
cp "$out/tools-build/mspbuild.exe" "$out/tools-build/msiq.exe" "$out/"

# 3. A prefix, then the patches; the definitions use paths relative to OUTDIR.
created=0
if [ ! -f "$prefix/system.reg" ]; then
    timed "new prefix" wineboot -i
    created=1
fi
cp "$demo"/kelvarin-sp1*.patch "$out/"
cd "$out"
for def in kelvarin-sp1 kelvarin-sp1-fail kelvarin-sp1-reboot kelvarin-sp1-probe; do
    timed "mspbuild $def" wine mspbuild.exe "$def.patch" "$def.msp"
done
# A prefix made here gets its server stopped; a caller's prefix keeps its own.
[ "$created" -eq 0 ] || wineserver -w
ls -l "$out"/*.msi "$out"/*.msp
