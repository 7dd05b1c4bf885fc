#!/usr/bin/env bash
# /e <path> writes the package byte for byte, shows nothing and exits 0.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
e2e_new_prefix extract_to_path

e2e_run /e 'C:\extracted.msp'
e2e_expect_eq "$RC" 0 "exit code"
cmp "$WINEPREFIX/drive_c/extracted.msp" "$SPLAUNCH_PACKAGE" || e2e_fail "extracted package differs"
e2e_expect_eq "$(e2e_message_boxes)" "" "message boxes"

# An existing file is overwritten from the start.
head -c 200000 /dev/urandom > "$WINEPREFIX/drive_c/extracted.msp"
e2e_run /E 'C:\extracted.msp'
e2e_expect_eq "$RC" 0 "exit code after overwrite"
cmp "$WINEPREFIX/drive_c/extracted.msp" "$SPLAUNCH_PACKAGE" || e2e_fail "overwritten package differs"
echo "PASS"
