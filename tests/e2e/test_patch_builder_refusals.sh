#!/usr/bin/env bash
# The patch builder refuses a definition that does not fit its target product or cabinet, naming the fault.
source "$(dirname "$0")/lib.sh" || exit 1
e2e_new_prefix patch_builder_refusals
# The definition names its inputs relative to the folder the builder runs in: the demo build's layout.
cp -r "$DEMO_TOOLS/mspbuild.exe" "$DEMO_DIR/kelvarin-sp1.patch" "$DEMO_DIR/v1" "$DEMO_DIR/v2" "$WORK/"
cd "$WORK"

# build DEFINITION OUTPUT: runs the builder; sets RC and keeps its error output in build.log.
build() {
    RC=0
    timeout 60 wine mspbuild.exe "$1" "$2" >/dev/null 2>build.log || RC=$?
}

# The unedited definition builds here, so each refusal below comes from its edit alone.
build kelvarin-sp1.patch sp1.msp
e2e_expect_eq "$RC $(tr -d '\r' < build.log)" "0 " "exit code and errors of the unedited definition"
[ -s sp1.msp ] || e2e_fail "the unedited definition left no patch"

# Each row: an edit of the definition (never with a '|'), then the error the builder must give.
while IFS='|' read -r edit error; do
    sed -e "$edit" kelvarin-sp1.patch > edited.patch
    build edited.patch edited.msp
    e2e_expect_eq "$RC $(tr -d '\r' < build.log)" "1 mspbuild: $error" "exit code and error after $edit"
done <<'EOF'
s/^old_version .*/old_version = 7.0.43.4/|target ProductVersion is '7.0.43.5', the definition says '7.0.43.4'
s/^F_P /F_NOPE /|target has no file F_NOPE
s#^F_P .*#F_P = v1/files/p.txt#|cabinet v2/kelvarin-v2.cab lacks F_P with the size of v1/files/p.txt
s/^KELVARIN_SP = 1/ProductVersion = 9/|ProductVersion comes from new_version, not from [property]
EOF
