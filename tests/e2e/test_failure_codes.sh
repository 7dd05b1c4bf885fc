#!/usr/bin/env bash
# Launchers carrying the failing (1603) and the restart (3010) patches: boxes, exit codes, effect; the same code and no box with /q; the restart asked for at the end, or started with /forcerestart.
# fixtures: product_7_0_43_5
source "$(dirname "$0")/lib.sh" || exit 1

# 1603 changes nothing, so /q and a shown run can share one prefix.
e2e_new_prefix failing product-7.0.43.5 "$SPLAUNCH_FAIL_EXE"
for quiet in /q ""; do
    e2e_run $quiet
    e2e_expect_eq "$RC" $((1603 % 256)) "exit code of the failing patch ${quiet:-without /q}"
    e2e_expect_box_unless "$quiet" "Error 1603: The Kelvarin 2004 update was not applied|Kelvarin 2004|00050030"
done
e2e_expect_eq "$(e2e_msiq version "$PRODUCT") $(e2e_product_file p.txt)" "7.0.43.5 version 7.0.43.5" "product after 1603"

# 3010: the patch is in place, the installer was told not to restart, and the launcher asks
# once at the end (without a display the box answers at once: not Yes).
question="The computer must be restarted to finish the update. Restart now?|Tessaran Product Update|00050024"
e2e_new_prefix reboot product-7.0.43.5 "$SPLAUNCH_REBOOT_EXE"
E2E_CHANNELS=+msi e2e_run
e2e_expect_eq "$RC" $((3010 % 256)) "exit code of the restart patch"
e2e_expect_eq "$(e2e_message_boxes | tr '\n' '#')" \
              "The Kelvarin 2004 update has been successfully applied|Kelvarin 2004|00050040#$question#" \
              "message boxes of the restart patch"
grep -aq 'msi_parse_command_line Found commandline property L"REBOOT" = L"ReallySuppress"' "$WORK/relay.log" \
    || e2e_fail "the installer did not parse REBOOT=ReallySuppress"
e2e_expect_eq "$(e2e_msiq version "$PRODUCT") $(e2e_product_file p.txt)" "7.1.0.5 version 7.1.0.5" "product after 3010"
e2e_expect_eq "$(e2e_calls | grep -c 'ExitWindowsEx')" 0 "restarts without a Yes"

# /forcerestart: the launcher restarts the computer itself, after the last line of its log
# (Wine restarts nothing, so the run carries on and ends with 1641).
e2e_new_prefix reboot_forced product-7.0.43.5 "$SPLAUNCH_REBOOT_EXE"
e2e_run /q /forcerestart /l run.log
e2e_expect_eq "$RC" $((1641 % 256)) "exit code of /forcerestart"
e2e_calls | grep -qF 'Call user32.ExitWindowsEx(00000002,80040002)' || e2e_fail "no ExitWindowsEx(EWX_REBOOT, planned installation)"
tail -n 1 "$WORK/run.log" | grep -qF "end exit code 1641: nothing failed; the update needs a restart to finish; restarting the computer" \
    || e2e_fail "the log's last line: $(tail -n 1 "$WORK/run.log")"
