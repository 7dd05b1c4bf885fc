#!/usr/bin/env bash
# Launchers carrying the failing (1603) and the restart (3010) patches: boxes, exit codes, effect; the same code and no box with /q.
# fixtures: product_7_0_43_5
set -euo pipefail
source "$(dirname "$0")/lib.sh"

# 1603 changes nothing, so /q and a shown run can share one prefix.
e2e_new_prefix failing product-7.0.43.5
cp "$SPLAUNCH_FAIL_EXE" "$WORK/splaunch.exe"
for quiet in /q ""; do
    e2e_run $quiet
    e2e_expect_eq "$RC" $((1603 % 256)) "exit code of the failing patch ${quiet:-without /q}"
    e2e_expect_box_unless "$quiet" "Error 1603: The Kelvarin 2004 update was not applied|Kelvarin 2004|00050030"
done
e2e_expect_eq "$(e2e_msiq version "$PRODUCT") $(e2e_product_file p.txt)" "7.0.43.5 version 7.0.43.5" "product after 1603"
wine_stop_server

# 3010: the patch is in place, and the success box is shown.
e2e_new_prefix reboot product-7.0.43.5
cp "$SPLAUNCH_REBOOT_EXE" "$WORK/splaunch.exe"
e2e_run
e2e_expect_eq "$RC" $((3010 % 256)) "exit code of the restart patch"
e2e_expect_eq "$(e2e_message_boxes)" "The Kelvarin 2004 update has been successfully applied|Kelvarin 2004|00050040" \
              "message boxes of the restart patch"
e2e_expect_eq "$(e2e_msiq version "$PRODUCT") $(e2e_product_file p.txt)" "7.1.0.5 version 7.1.0.5" "product after 3010"
echo "PASS"
