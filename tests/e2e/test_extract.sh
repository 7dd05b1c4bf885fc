#!/usr/bin/env bash
# /e writes the package byte for byte (to a path, over an existing file, or to a new MSP file in the temporary folder) and nothing else; a missing folder fails with 107, silently with /q.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
e2e_new_prefix extract
temp_dir=$(ls -d "$WINEPREFIX"/drive_c/users/*/Temp)

head -c 200000 /dev/urandom > "$WINEPREFIX/drive_c/extracted.msp"
e2e_run /E 'C:\extracted.msp'
e2e_expect_eq "$RC" 0 "exit code"
cmp "$WINEPREFIX/drive_c/extracted.msp" "$SPLAUNCH_PACKAGE" || e2e_fail "the package written over a file differs"
e2e_expect_eq "$(e2e_message_boxes)" "" "message boxes"

e2e_run /e
e2e_expect_eq "$RC" 0 "exit code to the temporary folder"
written=$(ls "$temp_dir" | grep '^MSP' || true)
e2e_expect_eq "$(echo "$written" | grep -c . || true)" 1 "new MSP files"
cmp "$temp_dir/$written" "$SPLAUNCH_PACKAGE" || e2e_fail "the temporary package differs"

for quiet in /q ""; do
    e2e_run $quiet /e 'C:\no such folder\x.msp'
    e2e_expect_eq "$RC" 107 "exit code of a failed extraction ${quiet:-without /q}"
    e2e_expect_box_unless "$quiet" "Error 107: The  update was not applied||00050030"
done
echo "PASS"
