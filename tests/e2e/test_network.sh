#!/usr/bin/env bash
# First-band feature rows (a launcher of its own, tests/e2e/network/): whole command lines with and without a network installation.
# fixtures: product_7_0_43_5
source "$(dirname "$0")/lib.sh" || exit 1
# run_network NAME [TYPE DATA]: the network launcher's run on an unpatched product of its own (a patched one is
# left alone), with StandaloneNetworkType set to DATA of TYPE; sets temp, the package it wrote.
run_network() {
    e2e_new_prefix "$1" product-7.0.43.5 "$SPLAUNCH_NETWORK_EXE"
    [ $# -eq 1 ] || wine reg add "HKLM\\$HOST_KEY" /v StandaloneNetworkType /t "$2" /d "$3" /f >/dev/null
    e2e_run /q
    e2e_expect_eq "$RC" 0 "exit code ($1)"
    temp=$(e2e_temp_package)
}

# StandaloneNetworkType 0: the first-band rows add HM_SYSTEM_0002 (a name before the last is defined),
# HM_CORECOMMON_0002, and the rows with no defined name but the last (HM_SYSTEM_0006 is not a feature of
# the product) to ADDLOCAL; the second band adds HM_SYSTEM_0001. The U2 row is not even queried.
run_network network
e2e_expect_eq "$(e2e_configure_calls)" \
    "$PRODUCT PATCH=\"$temp\" ADDLOCAL=\"HM_SYSTEM_0003,HM_SYSTEM_0006,\" REINSTALL=\"HM_SYSTEM_0002,HM_CORECOMMON_0002,HM_SYSTEM_0001,\" PATCHTITLE=\"\" PATCHGUID=\"$DEMO_PATCH_GUID\" REBOOT=ReallySuppress" \
    "command line, standalone"
e2e_expect_eq "$(e2e_msiq version "$PRODUCT")" 7.1.0.5 "VersionString"
e2e_calls | grep -a -q '"HM_SYSTEM_0005"' && e2e_fail "a row of another update tag was queried"

# StandaloneNetworkType 4: the rows with
# ",System_Files" add nothing, whether to REINSTALL or to ADDLOCAL; the second band is unchanged.
run_network network_4 REG_DWORD 4
e2e_expect_eq "$(e2e_configure_calls)" \
    "$PRODUCT PATCH=\"$temp\" ADDLOCAL=\"HM_SYSTEM_0003,\" REINSTALL=\"HM_CORECOMMON_0002,HM_SYSTEM_0001,\" PATCHTITLE=\"\" PATCHGUID=\"$DEMO_PATCH_GUID\" REBOOT=ReallySuppress" \
    "command line, network"
# The rows still query every name, System_Files rows included.
e2e_calls | grep -a -q '"HM_SYSTEM_0006"' || e2e_fail "the network-skipped row was not queried"

# The digit 4 as a string is not the number 4.
run_network network_text_4 REG_SZ 4
e2e_expect_eq "$(e2e_configure_calls | grep -o 'ADDLOCAL="[^"]*"')" 'ADDLOCAL="HM_SYSTEM_0003,HM_SYSTEM_0006,"' \
              "ADDLOCAL with the string 4"
