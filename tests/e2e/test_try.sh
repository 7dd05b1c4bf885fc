#!/usr/bin/env bash
# make try's runner (scripts/try.sh) on the example of docs/example: its launcher built (its definition checks clean, the file named as it says), its product installed in a fresh prefix, planned and patched to the definition's target version, the boxes photographed; with a product the definition does not name beside it, the try fails on that one.
# fixtures: none
source "$(dirname "$0")/lib.sh" || exit 1
WORK="$E2E_DIR/try"
rm -rf "$WORK" && mkdir -p "$WORK"
cmake --build "$SPLAUNCH_BUILD_DIR" --target splaunch_example >"$WORK/example.log" 2>&1 ||
    e2e_fail "the example did not build: $WORK/example.log"
example="$SPLAUNCH_BUILD_DIR/example"

# try NAME PRODUCT...: the example's launcher tried on the products; sets RC, the report in NAME.txt.
try() {
    local name=$1
    shift
    RC=0
    bash "$SPLAUNCH_SOURCE_DIR/scripts/try.sh" --folder "$WORK/folder" "$SPLAUNCH_BUILD_DIR" "$example/orvell.toml" "$@" \
        >"$WORK/$name.txt" 2>&1 || RC=$?
}
orvell='    Orvell 5 {A3E1C6B2-4D5F-0409-8E9A-1B2C3D4E5F60}: 5.0.12.0 -> 5.1.0.0 (target 5.1.0.0): patched'

try example "$example/orvell.msi"
e2e_expect_eq "$RC" 0 "exit status of the try ($WORK/example.txt)"
grep -qxF "$orvell" "$WORK/example.txt" || e2e_fail "the example was not patched: $WORK/example.txt"
grep -qx 'result: *patched' "$WORK/example.txt" || e2e_fail "no result line in $WORK/example.txt"
grep -q ": 0 errors, 0 warnings; 2 products, 1 description copy, a patch for 2 products$" "$WORK/folder/build.log" ||
    e2e_fail "no clean check in $WORK/folder/build.log"
[ -f "$WORK/folder/orvell-sp1.exe" ] || e2e_fail "no orvell-sp1.exe in $WORK/folder"
for shot in plan/box-1.png shots/box-1.png; do
    grep -qF "window \"Orvell 5\": $WORK/folder/run/$shot" "$WORK/example.txt" && [ -s "$WORK/folder/run/$shot" ] ||
        e2e_fail "no screenshot $shot in $WORK/example.txt"
done

# The demo product beside it: the launcher leaves it alone, so the try fails, saying on which product.
try unnamed "$example/orvell.msi" "$DEMO_DIR/kelvarin.msi"
e2e_expect_eq "$RC" 1 "exit status of the try with a product the definition does not name ($WORK/unnamed.txt)"
grep -qxF "$orvell" "$WORK/unnamed.txt" || e2e_fail "the example was not patched: $WORK/unnamed.txt"
grep -qxF "    Kelvarin 2004 $DEMO_PRODUCT: 7.0.43.5 -> 7.0.43.5 (target unknown): NOT patched: the version did not move (the definition has no product of this code)" \
    "$WORK/unnamed.txt" || e2e_fail "the demo product's line is missing: $WORK/unnamed.txt"
