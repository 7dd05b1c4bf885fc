#!/usr/bin/env bash
# The package waits in a new folder under Windows\Temp, held read-only for the whole turn: during the removal call, when the installer no longer holds it, a process the installer starts can neither write nor move it. The patch applies from there.
# fixtures: product_7_0_43_5
source "$(dirname "$0")/lib.sh" || exit 1

# run_probed NAME COMMAND...: a fresh product whose group STD_JIS is absent, so that the run
# ends with a removal call; the probing patch's custom action runs at every configure call.
run_probed() {
    e2e_new_prefix "$1" product-7.0.43.5
    shift
    cp "$SPLAUNCH_PROBE_EXE" "$WORK/splaunch.exe"
    cp "$PACKAGE_PROBE_EXE" "$WINEPREFIX/drive_c/probe.exe"
    e2e_msiq configure "$PRODUCT" 'REMOVE="STD_JIS"' >/dev/null
    "$@"
    result=$(tr -d '\r' < "$WINEPREFIX/drive_c/probe-result.txt" | tr '\n' '|')
}

# The launcher's two calls without its hold: while the installer applies the patch it holds
# the package itself, but during the removal the probe can write and move it.
control() {
    cp "$DEMO_DIR/kelvarin-sp1-probe.msp" "$WINEPREFIX/drive_c/probe.msp"
    e2e_msiq configure "$PRODUCT" 'PATCH="C:\probe.msp" REINSTALL="HM_STD_JIS_0010"' >/dev/null
    e2e_msiq configure "$PRODUCT" 'REMOVE="HM_STD_JIS_0010"' >/dev/null
}
run_probed package_unheld control
e2e_expect_eq "$result" "write=32 move=32|write=0 move=0|" "the probe without the launcher's hold"
wine_stop_server

run_probed package_held e2e_run /q
e2e_expect_eq "$RC" 0 "exit code"
e2e_expect_eq "$(e2e_configure_calls | grep -c 'REMOVE=')" 1 "removal calls"
e2e_expect_eq "$result" "write=32 move=32|write=32 move=32|" "the probe against the held package (32: sharing violation)"
e2e_expect_eq "$(e2e_msiq version "$PRODUCT")" 7.1.0.5 "VersionString"
temp=$(e2e_temp_package)
[[ "$temp" =~ ^C:\\windows\\Temp\\SPL[0-9a-f]{16}\\MSP[0-9A-Fa-f]+\.tmp$ ]] || e2e_fail "package path [$temp]"
# The package, then its folder, are left for the next restart and deleted at once.
wine reg query "$PENDING_KEY" /v PendingFileRenameOperations | tr -d '\r' | grep -qF "\\??\\${temp%\\*}" \
    || e2e_fail "the folder is not left for deletion"
[ ! -e "$(e2e_unix_path "${temp%\\*}")" ] || e2e_fail "the folder ${temp%\\*} is still there after the run"
