#!/usr/bin/env bash
# A target build of a configuration with a hidden product row stops at the configuration check, naming the row; the warn-only option lets it through.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
WORK="$E2E_DIR/check_refuses"
rm -rf "$WORK" && mkdir -p "$WORK"
cp -r "$SPLAUNCH_SOURCE_DIR/res" "$WORK/config"
sed -i '/^ *702 /d' "$WORK/config/strings.rc"

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
