#!/usr/bin/env bash
# Launchers carrying the failing (1603) and the restart (3010) patches: boxes, exit codes, effect; the same codes and no box with /q.
# fixtures: product_7_0_43_5
set -euo pipefail
source "$(dirname "$0")/lib.sh"

# 1603 changes nothing, so /q and a shown run can share one prefix.
e2e_new_prefix failing product-7.0.43.5
cp "$SPLAUNCH_FAIL_EXE" "$WORK/splaunch.exe"
for quiet in /q ""; do
    e2e_run $quiet
    e2e_expect_eq "$RC" $((1603 % 256)) "exit code of the failing patch ${quiet:-without /q}"
    expected=""
    [ -n "$quiet" ] || expected="Error 1603: The Kelvarin 2004 update was not applied|Kelvarin 2004|00050030"
    e2e_expect_eq "$(e2e_message_boxes)" "$expected" "message boxes of the failing patch ${quiet:-without /q}"
    e2e_expect_eq "$(e2e_configure_calls | grep -c 'PATCH=')" 1 "patch calls"
done
e2e_expect_eq "$(e2e_msiq version "$PRODUCT")" 7.0.43.5 "VersionString after 1603"
e2e_expect_eq "$(e2e_product_file p.txt)" "version 7.0.43.5" "p.txt after 1603"
e2e_stop_server

# 3010: the patch is in place and the success box is shown; each run needs a fresh product.
for quiet in "" /q; do
    e2e_new_prefix "reboot${quiet:+_quiet}" product-7.0.43.5
    cp "$SPLAUNCH_REBOOT_EXE" "$WORK/splaunch.exe"
    e2e_run $quiet
    e2e_expect_eq "$RC" $((3010 % 256)) "exit code of the restart patch ${quiet:-without /q}"
    expected=""
    [ -n "$quiet" ] || expected="The Kelvarin 2004 update has been successfully applied|Kelvarin 2004|00050040"
    e2e_expect_eq "$(e2e_message_boxes)" "$expected" "message boxes of the restart patch ${quiet:-without /q}"
    e2e_expect_eq "$(e2e_msiq version "$PRODUCT")" 7.1.0.5 "VersionString after 3010"
    e2e_expect_eq "$(e2e_product_file p.txt)" "version 7.1.0.5" "p.txt after 3010"
    e2e_stop_server
done
echo "PASS"
