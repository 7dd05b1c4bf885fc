#!/usr/bin/env bash
# An msi.dll beside splaunch.exe (and in the working folder) is never loaded: the installer comes from the system folder and the patch applies.
# fixtures: product_7_0_43_5
source "$(dirname "$0")/lib.sh" || exit 1
e2e_new_prefix planted_msi product-7.0.43.5
cp "$PLANTED_MSI_DLL" "$WORK/msi.dll"
marker="$WINEPREFIX/drive_c/planted-msi-loaded.txt"
# Wine prefers its own msi.dll to a file of that name; native first makes it search like
# Windows does, the program's folder before the system folder.
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;msi=n,b"

# The impostor works: loaded by its path, it leaves its marker.
timeout 30 wine rundll32 "$(winepath -w "$WORK/msi.dll"),MsiQueryProductStateA" >/dev/null 2>&1 || true
[ -f "$marker" ] || e2e_fail "the planted msi.dll leaves no marker when loaded"
rm -f "$marker"

e2e_run
e2e_expect_eq "$RC" 0 "exit code"
[ ! -e "$marker" ] || e2e_fail "splaunch.exe loaded the msi.dll beside it"
e2e_calls | grep -a -q 'Call KERNEL32.LoadLibraryExA([0-9a-f]* "C:\\\\windows\\\\system32\\\\msi.dll",00000000,00000008)' \
    || e2e_fail "msi.dll not loaded by its full path in the system folder"
e2e_expect_eq "$(e2e_msiq version "$PRODUCT")" 7.1.0.5 "VersionString"
e2e_expect_eq "$(e2e_product_file p.txt)" "version 7.1.0.5" "replaced file p.txt"
e2e_expect_eq "$(e2e_message_boxes)" "The Kelvarin 2004 update has been successfully applied|Kelvarin 2004|00050040" \
              "message boxes"
