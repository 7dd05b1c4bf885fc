#!/usr/bin/env bash
# No configured product installed: one box "Product is not installed" captioned with the first product's name, exit 307; silent with /q.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
e2e_new_prefix not_installed
temp_dir=$(ls -d "$WINEPREFIX"/drive_c/users/*/Temp)

for quiet in "" /q; do
    e2e_run $quiet
    e2e_expect_eq "$RC" $((307 % 256)) "exit code ${quiet:-without /q}"
    e2e_expect_box_unless "$quiet" "Product is not installed|Kelvarin 2004|00050030"
    # All 21 configured products were asked for, and nothing was prepared or changed.
    e2e_expect_eq "$(e2e_calls | grep -c 'Call msi.MsiQueryProductStateA')" 21 "product state queries"
    e2e_expect_eq "$(e2e_calls | grep -c 'MsiConfigureProductExA\|MoveFileExA\|RegDeleteKeyA\|RegDeleteValueA')" 0 \
                  "installer, deletion or registry calls"
    e2e_expect_eq "$(ls "$temp_dir" | grep -c '^MSP' || true)" 0 "temporary packages"
done
echo "PASS"
