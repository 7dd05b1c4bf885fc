#!/usr/bin/env bash
# A run that ends with a removal call, on features absent or advertised before the patch: the removal call names exactly the recorded features whose state the run changed, and puts them back. The package waits in a new folder under Windows\Temp, held read-only for the whole turn: during the removal call, when the installer no longer holds it, a process the installer starts can neither write nor move it. The patch applies from there.
source "$(dirname "$0")/lib.sh" || exit 1

# probed_product NAME: a prefix with the probing launcher and the demo product freshly installed with
# HM_SYSTEM_0004 advertised (1), HM_SYSTEM_0005 absent (2), and the group STD_JIS absent while its ten
# features stay local, so that a run ends with a removal call; Registry_Feature reads as source (4) under
# Wine. The probing patch's custom action runs at every configure call.
probed_product() {
    e2e_new_prefix "$1" template "$SPLAUNCH_PROBE_EXE"
    cp "$PACKAGE_PROBE_EXE" "$WINEPREFIX/drive_c/probe.exe"
    cp "$DEMO_DIR/kelvarin.msi" "$WINEPREFIX/drive_c/kelvarin.msi"
    timeout 60 wine msiexec /i 'C:\kelvarin.msi' /qn ADDLOCAL=ALL ADVERTISE=HM_SYSTEM_0004 REMOVE=HM_SYSTEM_0005,STD_JIS \
        || e2e_fail "installing the demo product failed"
    wine_add_demo_host_settings
}
probe_result() { tr -d '\r' < "$WINEPREFIX/drive_c/probe-result.txt" | tr '\n' '|'; }
# The feature states, "name=state" words on one line (the ten features of STD_JIS by their states only).
jis=$(for n in $(seq 10 19); do printf 'HM_STD_JIS_%04d ' "$n"; done)
states() {
    e2e_msiq features "$PRODUCT" STD_JIS HM_SYSTEM_0004 HM_SYSTEM_0005 Registry_Feature $jis | tr '\n' ' ' \
        | sed 's/HM_STD_JIS_00[0-9][0-9]=//g; s/ $//'
}

# The launcher's two calls without its hold: while the installer applies the patch it holds
# the package itself, but during the removal the probe can write and move it.
probed_product package_unheld
cp "$DEMO_DIR/kelvarin-sp1-probe.msp" "$WINEPREFIX/drive_c/probe.msp"
e2e_msiq configure "$PRODUCT" 'PATCH="C:\probe.msp" REINSTALL="HM_STD_JIS_0010"' >/dev/null
e2e_msiq configure "$PRODUCT" 'REMOVE="HM_STD_JIS_0010"' >/dev/null
e2e_expect_eq "$(probe_result)" "write=32 move=32|write=0 move=0|" "the probe without the launcher's hold"

probed_product package_held
e2e_expect_eq "$(states)" "STD_JIS=2 HM_SYSTEM_0004=1 HM_SYSTEM_0005=2 Registry_Feature=4 3 3 3 3 3 3 3 3 3 3" \
              "states before the run"
e2e_run
e2e_expect_eq "$RC" 0 "exit code"
e2e_expect_eq "$(probe_result)" "write=32 move=32|write=32 move=32|" \
              "the probe against the held package (32: sharing violation)"
e2e_expect_eq "$(e2e_msiq version "$PRODUCT")" 7.1.0.5 "VersionString"
e2e_expect_eq "$(e2e_message_boxes)" "The Kelvarin 2004 update has been successfully applied|Kelvarin 2004|00050040" \
              "message boxes"
temp=$(e2e_temp_package)
[[ "$temp" =~ ^C:\\windows\\Temp\\SPL[0-9a-f]{16}\\MSP[0-9A-Fa-f]+\.tmp$ ]] || e2e_fail "package path [$temp]"

# A row "HM_STD_JIS_00nn,STD_JIS,STANDARDS,P" records its first names with the state of
# STD_JIS (2); after the patch they read 3, so they are the ones removed, newest first.
# STD_JIS, HM_SYSTEM_0004/0005 and Registry_Feature kept their states and are not named.
remove=$(for n in $(seq 19 -1 10); do printf 'HM_STD_JIS_%04d,' "$n"; done)
e2e_expect_eq "$(e2e_configure_calls | sed -n 2p)" "$PRODUCT REMOVE=\"${remove%,}\" REBOOT=ReallySuppress" "removal call"
e2e_expect_eq "$(e2e_calls | grep -o 'MsiSetInternalUI(0*2,0*)\|MsiConfigureProductExA' | sed 's/(.*//' | tr '\n' ' ')" \
              "MsiConfigureProductExA MsiSetInternalUI MsiConfigureProductExA " "silent user interface before the removal"
e2e_expect_eq "$(states)" "STD_JIS=2 HM_SYSTEM_0004=1 HM_SYSTEM_0005=2 Registry_Feature=4 2 2 2 2 2 2 2 2 2 2" \
              "states after the run"
[ ! -e "$WINEPREFIX/drive_c/$DEMO_PRODUCT_DIR/Standards/hm_std_jis_0010.txt" ] || e2e_fail "a removed feature's file is still there"

# The package and its folder are deleted at once, also after a removal call.
[ ! -e "$(e2e_unix_path "${temp%\\*}")" ] || e2e_fail "the folder ${temp%\\*} is still there after the run"
