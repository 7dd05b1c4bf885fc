#!/usr/bin/env bash
# Runs that change nothing: no configured product installed (one box "Product is not installed" captioned with the first product's name, exit 307), and a version the patch does not accept (exit 308); silent with /q.
# fixtures: product_7_0_43_3
source "$(dirname "$0")/lib.sh" || exit 1

for case in not_installed wrong_version; do
    if [ $case = not_installed ]; then
        e2e_new_prefix $case
        code=307 box="Product is not installed|Kelvarin 2004|00050030"
    else
        wine_stop_server
        e2e_new_prefix $case product-7.0.43.3
        code=308 box="Incorrect product version installed|Kelvarin 2004|00050030"
    fi
    temp_dir=$(ls -d "$WINEPREFIX"/drive_c/users/*/Temp)
    for quiet in "" /q; do
        e2e_run $quiet
        e2e_expect_eq "$RC" $((code % 256)) "$case: exit code ${quiet:-without /q}"
        e2e_expect_box_unless "$quiet" "$box"
        e2e_expect_eq "$(e2e_calls | grep -c 'MsiConfigureProductExA\|MsiQueryFeatureStateA\|MoveFileExA\|RegDelete')" 0 \
                      "$case: feature, installer, deletion or registry calls"
        e2e_expect_eq "$(ls "$temp_dir" | grep -c '^MSP' || true)" 0 "$case: temporary packages"
    done
done
# Every configured edition was asked for; the installed one kept its version and settings.
e2e_calls | grep -q "Call msi.MsiGetProductInfoA([0-9a-f]* \"$PRODUCT\",[0-9a-f]* \"VersionString\"" \
    || e2e_fail "the installed version was not asked for"
e2e_expect_eq "$(e2e_calls | grep -c 'Call msi.MsiQueryProductStateA')" 21 "product state queries"
e2e_expect_eq "$(e2e_msiq version "$PRODUCT") $(e2e_msiq patches "$PRODUCT")" "7.0.43.3 " "version and patches"
e2e_expect_eq "$(e2e_reg_key "$SERVICE_KEY")" present "update service key"
