#!/usr/bin/env bash
# A target build of a configuration with a hidden product row stops at the configuration check, naming the row; warn-only lets it through; a broken package header byte is named, no crash, no temporary copy left.
source "$(dirname "$0")/lib.sh" || exit 1
WORK="$E2E_DIR/check_refuses"
rm -rf "$WORK" && mkdir -p "$WORK"
cp -r "$SPLAUNCH_DEFINITION_DIR" "$WORK/config"
sed -i '/^ *702 /d' "$WORK/config/splaunch.rc"

# build [CMAKE OPTIONS...]: configures and builds the check of the edited copy; sets RC, keeps the output in build.log.
build() {
    RC=0
    (cd "$SPLAUNCH_SOURCE_DIR" && cmake --preset target -B "$WORK/build" -DSPLAUNCH_RESOURCE_SCRIPT="$WORK/config/splaunch.rc" \
        -DSPLAUNCH_PACKAGE="$SPLAUNCH_PACKAGE" "$@" && cmake --build "$WORK/build" --target splaunch_check) \
        >"$WORK/build.log" 2>&1 || RC=$?
}
hidden="STRINGTABLE: 702: error: row 702 is missing: products 2 to 20 (rows 402-420) will never be offered"

build -DSPLAUNCH_CHECK_WARN_ONLY=OFF
[ "$RC" -ne 0 ] || e2e_fail "the build went through: $WORK/build.log"
grep -qxF "$hidden" "$WORK/build.log" || e2e_fail "no line [$hidden] in $WORK/build.log"
grep -q "1 error, 0 warnings; 2 of 21 products read" "$WORK/build.log" || e2e_fail "no summary line in $WORK/build.log"

build -DSPLAUNCH_CHECK_WARN_ONLY=ON
e2e_expect_eq "$RC" 0 "exit status of the warn-only build"
grep -qxF "${hidden/: error: /: warning: }" "$WORK/build.log" || e2e_fail "no warning line in $WORK/build.log"

# One byte of the package's header broken (the mini-stream cutoff at 0x39).
cp "$SPLAUNCH_PACKAGE" "$WORK/broken.msp"
printf '\xEF' | dd of="$WORK/broken.msp" bs=1 seek=$((0x39)) conv=notrunc status=none
mkdir -p "$WORK/tmp"
TMPDIR="$WORK/tmp" build -DSPLAUNCH_CHECK_WARN_ONLY=OFF -DSPLAUNCH_PACKAGE="$WORK/broken.msp"
broken="MSP IDR_MSP: -: error: the package's compound-file header is malformed: its mini-stream cutoff is 61184, not 4096"
grep -qxF "$broken" "$WORK/build.log" || e2e_fail "no line [$broken] in $WORK/build.log"
grep -q "2 errors, 0 warnings; 2 of 21 products read, 2 description copies, no readable patch" "$WORK/build.log" ||
    e2e_fail "no summary line in $WORK/build.log"
[ -z "$(ls -A "$WORK/tmp")" ] || e2e_fail "a temporary copy is left in $WORK/tmp"
