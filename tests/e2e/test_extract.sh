#!/usr/bin/env bash
# /e writes the package byte for byte over an existing file and nothing else; a missing folder fails with 107.
source "$(dirname "$0")/lib.sh" || exit 1
e2e_new_prefix extract

head -c 200000 /dev/urandom > "$WINEPREFIX/drive_c/extracted.msp"
e2e_run /E 'C:\extracted.msp'
e2e_expect_eq "$RC" 0 "exit code"
cmp "$WINEPREFIX/drive_c/extracted.msp" "$SPLAUNCH_PACKAGE" || e2e_fail "the package written over a file differs"
e2e_expect_eq "$(e2e_message_boxes)" "" "message boxes"

e2e_run /e 'C:\no such folder\x.msp'
e2e_expect_eq "$RC" 107 "exit code of a failed extraction"
e2e_expect_eq "$(e2e_message_boxes)" "Error 107: The  update was not applied||00050030" "message boxes"
