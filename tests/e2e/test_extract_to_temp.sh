#!/usr/bin/env bash
# /e alone writes the package to a new MSP file in the temporary folder.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
e2e_new_prefix extract_to_temp

temp_dir=$(ls -d "$WINEPREFIX"/drive_c/users/*/Temp)
before=$(ls "$temp_dir" | grep -c '^MSP' || true)
e2e_run /e
e2e_expect_eq "$RC" 0 "exit code"
written=$(ls "$temp_dir" | grep '^MSP' || true)
e2e_expect_eq "$(echo "$written" | grep -c . || true)" "$((before + 1))" "new MSP files"
cmp "$temp_dir/$(echo "$written" | tail -n 1)" "$SPLAUNCH_PACKAGE" || e2e_fail "temporary package differs"
echo "PASS"
