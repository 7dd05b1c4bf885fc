#!/usr/bin/env bash
# /l: the launcher's log, and the installer's own verbose log beside it; a log that cannot be created stops the run with 1622 before anything is touched; a device gets no installer log.
# fixtures: product_7_0_43_5
source "$(dirname "$0")/lib.sh" || exit 1
e2e_new_prefix log product-7.0.43.5
mkdir -p "$WINEPREFIX/drive_c/logs"
e2e_run /q /l 'C:\logs\run.log'
e2e_expect_eq "$RC" 0 "exit code"
e2e_expect_eq "$(e2e_msiq version "$PRODUCT")" 7.1.0.5 "VersionString"
log=$(tr -d '\r' < "$WINEPREFIX/drive_c/logs/run.log")
stamp='^\[[0-9a-f]{4}:[0-9a-f]{4}\]\[[0-9]{4}-[0-9]{2}-[0-9]{2}T[0-9]{2}:[0-9]{2}:[0-9]{2}\] '
e2e_expect_eq "$(echo "$log" | grep -cvE "$stamp")" 0 "lines without their process, thread and time"
for line in "start splaunch 1.0.0.1, command line: " "installer msi.dll loaded from C:\\windows\\system32\\msi.dll" \
            "patch configuring $PRODUCT, the installer's interface at its default level, with: PATCH=\"C:\\windows\\Temp\\SPL" \
            "patch result 0" "message code 301 silenced by /q" "end exit code 0: nothing failed"; do
    echo "$log" | grep -qF -- "$line" || e2e_fail "the log has no line with [$line]"
done
installer_log="$WINEPREFIX/drive_c/logs/run_001_$PRODUCT.log"
grep -aq '=== Logging started' "$installer_log" && grep -aq 'INSTALL. Return value 1' "$installer_log" \
    || e2e_fail "no installer log $installer_log, or not the installer's"
echo "$log" | grep -qF "installer its log for this turn: C:\\logs\\run_001_$PRODUCT.log (result 0)" \
    || e2e_fail "the log does not name the installer's log"

e2e_new_prefix log_missing_folder product-7.0.43.5
e2e_run /q /l 'C:\no such folder\run.log'
e2e_expect_eq "$RC" $((1622 % 256)) "exit code with a log that cannot be created"
e2e_expect_eq "$(e2e_calls | grep -c 'MsiConfigureProductExA\|RegDelete')" 0 "installer or registry changes"
e2e_expect_eq "$(e2e_msiq version "$PRODUCT")" 7.0.43.5 "VersionString"

# A device as the log: the run goes on, and the installer gets no log of its own (no "NUL_001_..." file anywhere).
e2e_run /q /l NUL
e2e_expect_eq "$RC" 0 "exit code with /l NUL"
e2e_expect_eq "$(e2e_msiq version "$PRODUCT")" 7.1.0.5 "VersionString after the run with /l NUL"
e2e_expect_eq "$(find "$WORK" -iname 'nul_*' | wc -l)" 0 "installer logs named after the device"
