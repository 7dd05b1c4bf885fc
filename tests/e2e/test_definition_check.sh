#!/usr/bin/env bash
# The configuration check stops a target build with the row's error: the shipped definition with a misspelt feature name, or with accepted versions without the version the patch was made from; a copy of its script without a product row (warn-only lets it through); a package with a broken header byte (named, no crash, no temporary copy left).
# fixtures: none
source "$(dirname "$0")/lib.sh" || exit 1
WORK="$E2E_DIR/definition_check"
rm -rf "$WORK" && mkdir -p "$WORK/tmp"

# expect_refusal FOLDER LINE [CMAKE OPTIONS...]: the check of the build of the demo package configured in
# FOLDER with the options (a later -D wins) stops it with LINE.
expect_refusal() {
    local folder=$1 line=$2
    shift 2
    e2e_build "$folder" splaunch_check -DSPLAUNCH_PACKAGE="$SPLAUNCH_PACKAGE" "$@"
    [ "$RC" -ne 0 ] || e2e_fail "the build went through: $folder.log"
    grep -qxF "$line" "$folder.log" || e2e_fail "no line [$line] in $folder.log"
}

# The shipped definition, every edition with the demo product's .msi, and one mistake each.
sed "s|^\[product_defaults\]$|&\nmsi = \"$DEMO_DIR/kelvarin.msi\"|" "$SPLAUNCH_SOURCE_DIR/res/splaunch.toml" >"$WORK/shipped.toml"
sed 's/"HM_STD_DIN_0012,STD_DIN,STANDARDS,P"/"HM_STD_DIN_0012,STD_DIN,STANDARD,P"/' "$WORK/shipped.toml" >"$WORK/misspelt.toml"
sed 's/^accepted_versions = \["7.0.43.5", "7.0.61.1"\]$/accepted_versions = ["7.0.61.1"]/' "$WORK/shipped.toml" \
    >"$WORK/versions.toml"
expect_refusal "$WORK/definition" 'STRINGTABLE: 1044: error: the feature name "STANDARD" in row 1044 "HM_STD_DIN_0012,STD_DIN,STANDARD,P" is not a feature of products 0-20 (kelvarin.msi has none of that name; names match byte for byte): did you mean "STANDARDS"?' \
    -DSPLAUNCH_DEFINITION="$WORK/misspelt.toml"
expect_refusal "$WORK/definition" "STRINGTABLE: 900: error: the patch's transform \"RTM_To_SP1\" applies to version 7.0.43.5 of product 0 $DEMO_PRODUCT, which the accepted versions \"7.0.61.1,\" do not include: the launcher refuses that version with message 308 and never patches it" \
    -DSPLAUNCH_DEFINITION="$WORK/versions.toml"

# A copy of the shipped definition's script without row 702, which hides every product after the second.
cp -r "$SPLAUNCH_DEFINITION_DIR" "$WORK/config"
sed -i '/^ *702 /d' "$WORK/config/splaunch.rc"
script=-DSPLAUNCH_RESOURCE_SCRIPT="$WORK/config/splaunch.rc"
hidden="STRINGTABLE: 702: error: row 702 is missing: products 2 to 20 (rows 402-420) will never be offered"
expect_refusal "$WORK/script" "$hidden" "$script" -DSPLAUNCH_CHECK_WARN_ONLY=OFF
e2e_build "$WORK/script" splaunch_check -DSPLAUNCH_CHECK_WARN_ONLY=ON
e2e_expect_eq "$RC" 0 "exit status of the warn-only build"
grep -qxF "${hidden/: error: /: warning: }" "$WORK/script.log" || e2e_fail "no warning line in $WORK/script.log"

# One byte of the package's header broken (the mini-stream cutoff at 0x39).
cp "$SPLAUNCH_PACKAGE" "$WORK/broken.msp"
printf '\xEF' | dd of="$WORK/broken.msp" bs=1 seek=$((0x39)) conv=notrunc status=none
broken="MSP IDR_MSP: -: error: the package's compound-file header is malformed: its mini-stream cutoff is 61184, not 4096"
TMPDIR="$WORK/tmp" expect_refusal "$WORK/script" "$broken" -DSPLAUNCH_CHECK_WARN_ONLY=OFF -DSPLAUNCH_PACKAGE="$WORK/broken.msp"
grep -q "2 errors, 0 warnings; 2 of 21 products read, 2 description copies, no readable patch" "$WORK/script.log" ||
    e2e_fail "no summary line in $WORK/script.log"
[ -z "$(ls -A "$WORK/tmp")" ] || e2e_fail "a temporary copy is left in $WORK/tmp"
