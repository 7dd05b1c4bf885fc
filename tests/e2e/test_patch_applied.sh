#!/usr/bin/env bash
# A real patch applied by the launcher: effect on the product, the installer loaded from the system folder and never an msi.dll planted beside the launcher, the command line the installer received, the host settings removed first, the success box, exit 0, and the package deleted by the next restart.
# fixtures: product_7_0_43_5
source "$(dirname "$0")/lib.sh" || exit 1
e2e_new_prefix patch_applied product-7.0.43.5
profiles="HKCU\\$HOST_KEY\\Profiles"

# An impostor msi.dll beside splaunch.exe, in the run's working folder too, leaves a marker when loaded
# (rundll32 loads it by its path before it looks for the entry it is given). Wine prefers its own msi.dll
# to a file of that name; native first makes it search as Windows does, the program's folder first.
cp "$PLANTED_MSI_DLL" "$WORK/msi.dll"
marker="$WINEPREFIX/drive_c/planted-msi-loaded.txt"
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;msi=n,b"
timeout 30 wine rundll32 "$(winepath -w "$WORK/msi.dll"),none" >/dev/null 2>&1 || true
[ -f "$marker" ] || e2e_fail "the planted msi.dll leaves no marker when loaded"
rm -f "$marker"

E2E_CHANNELS=+msi e2e_run
e2e_expect_eq "$RC" 0 "exit code"
[ ! -e "$marker" ] || e2e_fail "splaunch.exe loaded the msi.dll beside it"
e2e_calls | grep -a -q 'Call KERNEL32.LoadLibraryExA([0-9a-f]* "C:\\\\windows\\\\system32\\\\msi.dll",00000000,00000008)' \
    || e2e_fail "msi.dll not loaded by its full path in the system folder"

# The patch is proven by its effect: Wine's installer returns 0 for a patch it ignored.
e2e_expect_eq "$(e2e_msiq version "$PRODUCT")" 7.1.0.5 "VersionString after the run"
e2e_expect_eq "$(e2e_msiq patches "$PRODUCT")" "$DEMO_PATCH_GUID" "registered patches"
e2e_expect_eq "$(e2e_product_file p.txt)|$(e2e_product_file System/hm_system_0001.txt)" \
              "version 7.1.0.5|version 7.1.0.5" "replaced files"
e2e_expect_eq "$(e2e_product_file Core/hm_corecommon_0002.txt)" "Kelvarin 2004 data for feature HM_CORECOMMON_0002" \
              "a file the patch does not carry"
e2e_expect_eq "$(e2e_message_boxes)" "The Kelvarin 2004 update has been successfully applied|Kelvarin 2004|00050040" \
              "message boxes"

# One configure call (no feature changed state); the whole line is asserted on the simulated
# machine, so here the installer's own parse of it: the five properties, the package that
# was written, and the start of REINSTALL (the trace cuts long strings).
temp=$(e2e_temp_package)
e2e_expect_eq "$(e2e_configure_calls | wc -l)" 1 "configure calls"
parsed=$(grep -a -m5 'msi_parse_command_line Found commandline property' "$WORK/relay.log" \
         | sed 's/.*property L"\([^"]*\)" = L"\(.*\)"\(\.\.\.\)\{0,1\}$/\1=\2\3/; s/\\\\/\\/g' | cut -c1-60 | tr '\n' '|')
expected=$(printf '%s\n' "PATCH=$temp" ADDLOCAL= REINSTALL=HM_CORECOMMON_0001,HM_CORECOMMON_0002,HM_CORECOMMON_0003 \
    "PATCHTITLE=Kelvarin 2004 (Tessaran Corvane Suite 2004) Service Pack 1" "PATCHGUID=$DEMO_PATCH_GUID" | cut -c1-60)
e2e_expect_eq "$parsed" "$(echo "$expected" | tr '\n' '|')" "properties the installer parsed"
e2e_calls | grep -q 'Call KERNEL32.SetThreadLocale(00000409)' || e2e_fail "thread locale not set to 1033"

# The host settings went before the installer was called; other values stay.
e2e_expect_eq "$(e2e_calls | grep -o 'RegDeleteKeyA\|RegDeleteValueA\|MsiConfigureProductExA' | tr '\n' ' ')" \
              "RegDeleteKeyA RegDeleteValueA RegDeleteValueA MsiConfigureProductExA " "order of the changes"
e2e_expect_eq "$(e2e_reg_key "$SERVICE_KEY") $(e2e_reg_key 'HKLM\Software\Tessaran\Kestrune')" "absent present" \
              "the update service's key and its parent"
for p in Drafting '<<Unnamed Profile>>'; do
    e2e_expect_eq "$(wine_reg_value "$profiles\\$p\\General Configuration" Today_WorkMode) $(wine_reg_value \
        "$profiles\\$p\\General Configuration" Units)" "absent metric" "values of the profile $p"
done

# The package is left for deletion at the next restart (a delayed move on NT), then deleted
# at once: nothing piles up. A new Wine session is a restart.
wine reg query "$PENDING_KEY" /v PendingFileRenameOperations | tr -d '\r' | grep -qF "\\??\\$temp" \
    || e2e_fail "PendingFileRenameOperations does not name $temp"
[ ! -e "$(e2e_unix_path "${temp%\\*}")" ] || e2e_fail "the package's folder is still there after the run"
[ ! -e "$WINEPREFIX/drive_c/windows/wininit.ini" ] || e2e_fail "wininit.ini written on NT"
wine_stop_server
e2e_expect_eq "$(wine_reg_value "$PENDING_KEY" PendingFileRenameOperations)" absent "pending operations after the restart"
