#!/usr/bin/env bash
# Target builds from definitions: the example of docs/example builds, checks clean and is named as its definition says; a misspelt feature name, or accepted versions without the version the patch was made from, stop the build at the check with the row's error.
source "$(dirname "$0")/lib.sh" || exit 1
e2e_new_prefix definition_check

# build DEFINITION TARGET [CMAKE OPTIONS...]: configures one build folder for the definition and
# builds the target; sets RC, keeps the output in build.log.
build() {
    local definition=$1 target=$2
    shift 2
    RC=0
    (cd "$SPLAUNCH_SOURCE_DIR" && cmake --preset target -B "$WORK/build" -DSPLAUNCH_DEFINITION="$definition" "$@" &&
        cmake --build "$WORK/build" --target "$target") >"$WORK/build.log" 2>&1 || RC=$?
}

# The example: its product and patch beside a copy of its definition, then the whole launcher.
bash "$SPLAUNCH_SOURCE_DIR/tools/demo-patch/build-example.sh" "$WORK/example" "$DEMO_TOOLS/mspbuild.exe" "$WINEPREFIX" \
    >"$WORK/example.log" 2>&1 || e2e_fail "the example did not build: $WORK/example.log"
build "$WORK/example/orvell.toml" splaunch -DSPLAUNCH_PACKAGE=
e2e_expect_eq "$RC" 0 "exit status of the example's build ($WORK/build.log)"
grep -q ": 0 errors, 0 warnings; 2 products, 1 description copy, a patch for 2 products$" "$WORK/build.log" ||
    e2e_fail "no clean check in $WORK/build.log"
[ -f "$WORK/build/orvell-sp1.exe" ] || e2e_fail "no orvell-sp1.exe in $WORK/build"

# The shipped definition, every edition with the demo product's .msi, and one mistake each.
sed "s|^\[product_defaults\]$|&\nmsi = \"$DEMO_DIR/kelvarin.msi\"|" "$SPLAUNCH_SOURCE_DIR/res/splaunch.toml" >"$WORK/shipped.toml"
sed 's/"HM_STD_DIN_0012,STD_DIN,STANDARDS,P"/"HM_STD_DIN_0012,STD_DIN,STANDARD,P"/' "$WORK/shipped.toml" >"$WORK/misspelt.toml"
sed 's/^accepted_versions = \["7.0.43.5", "7.0.61.1"\]$/accepted_versions = ["7.0.61.1"]/' "$WORK/shipped.toml" \
    >"$WORK/versions.toml"
# expect_refusal DEFINITION LINE: the check stops the build with that line.
expect_refusal() {
    build "$1" splaunch_check -DSPLAUNCH_PACKAGE="$SPLAUNCH_PACKAGE"
    [ "$RC" -ne 0 ] || e2e_fail "the build of $1 went through: $WORK/build.log"
    grep -qxF "$2" "$WORK/build.log" || e2e_fail "no line [$2] in $WORK/build.log"
}
expect_refusal "$WORK/misspelt.toml" 'STRINGTABLE: 1044: error: the feature name "STANDARD" in row 1044 "HM_STD_DIN_0012,STD_DIN,STANDARD,P" is not a feature of products 0-20 (kelvarin.msi has none of that name; names match byte for byte): did you mean "STANDARDS"?'
expect_refusal "$WORK/versions.toml" "STRINGTABLE: 900: error: the patch's transform \"RTM_To_SP1\" applies to version 7.0.43.5 of product 0 $DEMO_PRODUCT, which the accepted versions \"7.0.61.1,\" do not include: the launcher refuses that version with message 308 and never patches it"
