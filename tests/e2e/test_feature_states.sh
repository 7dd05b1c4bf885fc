#!/usr/bin/env bash
# Features absent or advertised before the patch: the removal call names exactly the recorded features whose state the run changed, and puts them back.
source "$(dirname "$0")/lib.sh" || exit 1
e2e_new_prefix feature_states
cp "$DEMO_DIR/kelvarin.msi" "$WINEPREFIX/drive_c/kelvarin.msi"
# HM_SYSTEM_0004 advertised (1), HM_SYSTEM_0005 absent (2), the group STD_JIS absent while
# its ten features stay local; Registry_Feature reads as source (4) under Wine.
timeout 60 wine msiexec /i 'C:\kelvarin.msi' /qn ADDLOCAL=ALL ADVERTISE=HM_SYSTEM_0004 REMOVE=HM_SYSTEM_0005,STD_JIS \
    || e2e_fail "installing the demo product failed"
wine_add_demo_host_settings
jis=$(for n in $(seq 10 19); do printf 'HM_STD_JIS_%04d ' "$n"; done)
states() { e2e_features STD_JIS HM_SYSTEM_0004 HM_SYSTEM_0005 Registry_Feature $jis | sed 's/HM_STD_JIS_00[0-9][0-9]=//g'; }
e2e_expect_eq "$(states)" "STD_JIS=2 HM_SYSTEM_0004=1 HM_SYSTEM_0005=2 Registry_Feature=4 3 3 3 3 3 3 3 3 3 3" \
              "states before the run"

e2e_run
e2e_expect_eq "$RC" 0 "exit code"
e2e_expect_eq "$(e2e_msiq version "$PRODUCT")" 7.1.0.5 "VersionString"
e2e_expect_eq "$(e2e_message_boxes)" "The Kelvarin 2004 update has been successfully applied|Kelvarin 2004|00050040" \
              "message boxes"

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
