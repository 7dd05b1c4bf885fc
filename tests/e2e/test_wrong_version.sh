#!/usr/bin/env bash
# Runs that patch nothing: no configured product installed (one box "Product is not installed" captioned with the first product's name, exit 307), and a version the patch does not accept (exit 308), silent with /q; /e writes the package byte for byte over an existing file and nothing else, and fails with 107 on a missing folder.
# fixtures: product_7_0_43_3
source "$(dirname "$0")/lib.sh" || exit 1

# refused NAME TEMPLATE CODE TEXT: on a copy of TEMPLATE, a shown run and a /q run end with CODE
# and change nothing, the shown one with one error box of TEXT.
refused() {
    local quiet temp_dir
    e2e_new_prefix "$1" "$2"
    temp_dir=$(ls -d "$WINEPREFIX"/drive_c/users/*/Temp)
    for quiet in "" /q; do
        e2e_run $quiet
        e2e_expect_eq "$RC" $(($3 % 256)) "$1: exit code ${quiet:-without /q}"
        e2e_expect_box_unless "$quiet" "$4|Kelvarin 2004|00050030"
        e2e_expect_eq "$(e2e_calls | grep -c 'MsiConfigureProductExA\|MsiQueryFeatureStateA\|MoveFileExA\|RegDelete')" 0 \
                      "$1: feature, installer, deletion or registry calls"
        e2e_expect_eq "$(ls "$temp_dir" | grep -c '^MSP' || true)" 0 "$1: temporary packages"
    done
}
refused not_installed template 307 "Product is not installed"

# /e on that machine: the package over an existing file, then into a folder that is not there.
head -c 200000 /dev/urandom > "$WINEPREFIX/drive_c/extracted.msp"
e2e_run /E 'C:\extracted.msp'
e2e_expect_eq "$RC" 0 "exit code of the extraction"
cmp "$WINEPREFIX/drive_c/extracted.msp" "$SPLAUNCH_PACKAGE" || e2e_fail "the package written over a file differs"
e2e_expect_eq "$(e2e_message_boxes)" "" "message boxes of the extraction"
e2e_run /e 'C:\no such folder\x.msp'
e2e_expect_eq "$RC" 107 "exit code of a failed extraction"
e2e_expect_eq "$(e2e_message_boxes)" "Error 107: The  update was not applied||00050030" "message boxes of a failed extraction"

refused wrong_version product-7.0.43.3 308 "Incorrect product version installed"
# Every configured edition was asked for; the installed one kept its version and settings.
e2e_calls | grep -q "Call msi.MsiGetProductInfoA([0-9a-f]* \"$PRODUCT\",[0-9a-f]* \"VersionString\"" \
    || e2e_fail "the installed version was not asked for"
e2e_expect_eq "$(e2e_calls | grep -c 'Call msi.MsiQueryProductStateA')" 21 "product state queries"
e2e_expect_eq "$(e2e_msiq version "$PRODUCT") $(e2e_msiq patches "$PRODUCT")" "7.0.43.3 " "version and patches"
e2e_expect_eq "$(e2e_reg_key "$SERVICE_KEY")" present "update service key"
