#!/usr/bin/env bash
# Reproducible launchers: two fresh builds of the shipped definition in two folders are the same bytes, name neither folder nor the source's, state the source's last commit time under a checksum the loader accepts, and a new SOURCE_DATE_EPOCH relinks with that time.
# fixtures: none
source "$(dirname "$0")/lib.sh" || exit 1
WORK="$E2E_DIR/reproducible"
rm -rf "$WORK" && mkdir -p "$WORK"
unset SOURCE_DATE_EPOCH

# build FOLDER: a fresh target build of the shipped launcher with the demo patch already built.
build() {
    e2e_build "$1" splaunch -DSPLAUNCH_PACKAGE="$SPLAUNCH_PACKAGE"
    [ "$RC" -eq 0 ] || e2e_fail "the build in $1 failed: $1.log"
}
# header_field EXE OFFSET: the 32-bit field OFFSET bytes after the PE signature.
header_field() {
    local pe
    pe=$(od -An -tu4 -j60 -N4 "$1" | tr -d ' ')
    od -An -tu4 -j$((pe + $2)) -N4 "$1" | tr -d ' '
}
# expect_checksum EXE: osslsigncode recomputes the header checksum and warns when it differs.
expect_checksum() {
    local report
    report=$(osslsigncode verify -in "$1" 2>&1 || true)
    grep -q 'PE checksum' <<<"$report" || e2e_fail "osslsigncode shows no checksum of $1: $report"
    if grep -q 'invalid PE checksum' <<<"$report"; then e2e_fail "$1: $report"; fi
}

# Folder names of different lengths, so a path that leaked would also shift what follows it.
a="$WORK/a" b="$WORK/second-folder"
build "$a"
build "$b"
cmp "$a/splaunch.exe" "$b/splaunch.exe" || e2e_fail "two builds of one source differ"
# The same bytes, so one of them names no folder if neither does.
if grep -a -q -F -e "$a" -e "$b" -e "$SPLAUNCH_SOURCE_DIR" "$a/splaunch.exe"; then
    e2e_fail "the launcher names a build or source folder: $(strings -a "$a/splaunch.exe" | grep -F -e "$WORK" -e "$SPLAUNCH_SOURCE_DIR" | head -n 3)"
fi
commit_time=$(git -C "$SPLAUNCH_SOURCE_DIR" log -1 --format=%ct 2>/dev/null || echo 0)
e2e_expect_eq "$(header_field "$a/splaunch.exe" 8)" "$commit_time" "time stamp without SOURCE_DATE_EPOCH"
expect_checksum "$a/splaunch.exe"

# Another time relinks the next build, with that time and a checksum that follows it.
SOURCE_DATE_EPOCH=1234567890 cmake --build "$b" --target splaunch >>"$b.log" 2>&1 || e2e_fail "the rebuild failed: $b.log"
e2e_expect_eq "$(header_field "$b/splaunch.exe" 8)" 1234567890 "time stamp with SOURCE_DATE_EPOCH=1234567890"
expect_checksum "$b/splaunch.exe"
