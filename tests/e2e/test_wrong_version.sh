#!/usr/bin/env bash
# The product installed at 7.0.43.3, a version the patch does not accept: box, exit 308, nothing installed or changed; silent with /q.
# fixtures: product_7_0_43_3
set -euo pipefail
source "$(dirname "$0")/lib.sh"
e2e_new_prefix wrong_version product-7.0.43.3
temp_dir=$(ls -d "$WINEPREFIX"/drive_c/users/*/Temp)

for quiet in "" /q; do
    e2e_run $quiet
    e2e_expect_eq "$RC" $((308 % 256)) "exit code ${quiet:-without /q}"
    e2e_expect_box_unless "$quiet" "Incorrect product version installed|Kelvarin 2004|00050030"
    e2e_calls | grep -q "Call msi.MsiGetProductInfoA([0-9a-f]* \"$PRODUCT\",[0-9a-f]* \"VersionString\"" \
        || e2e_fail "the installed version was not asked for"
    e2e_expect_eq "$(e2e_calls | grep -c 'MsiConfigureProductExA\|MsiQueryFeatureStateA\|MoveFileExA\|RegDeleteKeyA\|RegDeleteValueA')" 0 \
                  "feature, installer, deletion or registry calls"
done

e2e_expect_eq "$(e2e_msiq version "$PRODUCT")" 7.0.43.3 "VersionString"
e2e_expect_eq "$(e2e_msiq patches "$PRODUCT")" "" "registered patches"
e2e_expect_eq "$(e2e_product_file p.txt)" "version 7.0.43.3" "file p.txt"
e2e_expect_eq "$(ls "$temp_dir" | grep -c '^MSP' || true)" 0 "temporary packages"
e2e_expect_eq "$(e2e_reg_key "$SERVICE_KEY")" present "update service key"
e2e_expect_eq "$(e2e_reg_value "HKCU\\$HOST_KEY\\Profiles\\$PROFILE\\General Configuration" Today_WorkMode)" 0x1 \
              "Today_WorkMode of the current profile"
echo "PASS"
