#!/bin/bash
# Builds the example product of docs/example (Orvell 5 as shipped, and its 5.1.0.0 rebuild) and its patch into OUTDIR, beside a copy of the example definition.
#
# usage: tools/demo-patch/build-example.sh OUTDIR MSPBUILD_EXE [WINEPREFIX]
#
# Leaves OUTDIR/orvell.msi, OUTDIR/orvell-sp1.msp and OUTDIR/orvell.toml, which names them
# both, so `cmake --preset target -B <build> -DSPLAUNCH_DEFINITION=OUTDIR/orvell.toml` builds
# the example launcher. MSPBUILD_EXE is the patch builder build-demo-patch.sh makes; it runs
# under Wine, of the architecture scripts/wine-env.sh sets, in the prefix given (owned by the
# caller) or in one made as OUTDIR/win32/prefix or OUTDIR/win64/prefix. Needs wixl, msiinfo and wine.
set -euo pipefail

[ $# -ge 2 ] && [ $# -le 3 ] || { echo "usage: $0 OUTDIR MSPBUILD_EXE [WINEPREFIX]" >&2; exit 2; }
tools=$(cd "$(dirname "$0")" && pwd)
example=$(cd "$tools/../../docs/example" && pwd)
mspbuild=$(cd "$(dirname "$2")" && pwd)/$(basename "$2")
mkdir -p "$1"
out=$(cd "$1" && pwd)

source "$tools/../../scripts/wine-env.sh"
arch=$(wine_arch_dir "$out")
export WINEPREFIX="${3:-$arch/prefix}" HOME="$arch/home"
unset DISPLAY
mkdir -p "$HOME"

# product VERSION FOLDER: the product at VERSION in FOLDER; only core.txt tells the versions apart.
product() {
    mkdir -p "$2/payload"
    printf 'Orvell 5 core, version %s' "$1" > "$2/payload/core.txt"
    for file in readme fonts templates runtime; do
        printf 'Orvell 5 %s\r\n' "$file" > "$2/payload/$file.txt"
    done
    cp "$example/orvell.wxs" "$2/"
    (cd "$2" && wixl -a x86 -D Version="$1" -o orvell.msi orvell.wxs)
}
rm -rf "$out/v1" "$out/v2"
product 5.0.12.0 "$out/v1"
product 5.1.0.0 "$out/v2"
msiinfo extract "$out/v2/orvell.msi" orvell.cab > "$out/v2/orvell-v2.cab"
cp "$out/v1/orvell.msi" "$example/orvell-sp1.patch" "$example/orvell.toml" "$out/"

created=0
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wineboot -i
    created=1
fi
(cd "$out" && wine "$mspbuild" orvell-sp1.patch orvell-sp1.msp)
# A prefix made here gets its server stopped; a caller's prefix keeps its own.
[ "$created" -eq 0 ] || wineserver -w
