#!/usr/bin/env bash
# A real patch applied by the shipped launcher: effect on the product, exact installer command line, success box, exit 0.
# fixtures: product_7_0_43_5
set -euo pipefail
source "$(dirname "$0")/lib.sh"
e2e_new_prefix patch_applied product-7.0.43.5

E2E_CHANNELS=+msi e2e_run
e2e_expect_eq "$RC" 0 "exit code"

# The patch is proven by its effect: Wine's installer returns 0 for a patch it ignored.
e2e_expect_eq "$(e2e_msiq version "$PRODUCT")" 7.1.0.5 "VersionString after the run"
e2e_expect_eq "$(e2e_msiq patches "$PRODUCT")" '{B7E3D1A9-52C4-4F8E-9A06-1D3C7E5B2F48}' "registered patches"
e2e_expect_eq "$(e2e_product_file p.txt)" "version 7.1.0.5" "replaced file p.txt"
e2e_expect_eq "$(e2e_product_file System/hm_system_0001.txt)" "version 7.1.0.5" "replaced file hm_system_0001.txt"
e2e_expect_eq "$(e2e_product_file Core/hm_corecommon_0002.txt)" "Kelvarin 2004 data for feature HM_CORECOMMON_0002" \
              "a file the patch does not carry"

e2e_expect_eq "$(e2e_message_boxes)" "The Kelvarin 2004 update has been successfully applied|Kelvarin 2004|00050040" \
              "message boxes"

# The command line: every feature local, so each second-band row but the single-name
# Registry_Feature one is reinstalled, in row order; nothing is added.
temp=$(e2e_temp_package)
[[ "$temp" =~ ^C:\\users\\[^\\]+\\Temp\\MSP[^\\]*\.tmp$ ]] || e2e_fail "temporary package path: [$temp]"
reinstall=""
for n in $(seq 1 40); do reinstall+=$(printf 'HM_CORECOMMON_%04d,' "$n"); done
for x in DIN GB ISO ANSI JIS BSI GOST; do
    for n in $(seq 10 19); do reinstall+=$(printf 'HM_STD_%s_%04d,' "$x" "$n"); done
done
for n in $(seq 1 5); do reinstall+=$(printf 'HM_SYSTEM_%04d,' "$n"); done
title='Kelvarin 2004 (Tessaran Corvane Suite 2004) Service Pack 1'
guid='{B7E3D1A9-52C4-4F8E-9A06-1D3C7E5B2F48}'
expected="PATCH=\"$temp\" ADDLOCAL=\"\" REINSTALL=\"$reinstall\" PATCHTITLE=\"$title\" PATCHGUID=\"$guid\""

calls=$(e2e_configure_calls)
e2e_expect_eq "$(echo "$calls" | wc -l)" 1 "configure calls (no feature changed state, so no removal)"
e2e_expect_eq "${calls%% *}" "$PRODUCT" "configured product"
shown=${calls#* }
# The relay trace cuts a string after 291 characters: the part shown must be the start
# of the expected line, and the installer's own trace shows each property it parsed.
if [[ "$shown" == *'"...' ]]; then
    shown=${shown%\"...}
    [ ${#shown} -ge 250 ] || e2e_fail "trace shows only ${#shown} characters of the command line"
    [[ "$expected" == "$shown"* ]] || e2e_fail "command line: expected [$expected], trace shows [$shown...]"
else
    e2e_expect_eq "$shown" "$expected" "command line"
fi
parsed=$(grep -a -m5 'msi_parse_command_line Found commandline property' "$WORK/relay.log" \
         | sed 's/.*property L"\([^"]*\)" = L"\(.*\)"\(\.\.\.\)\{0,1\}$/\1=\2\3/; s/\\\\/\\/g')
e2e_expect_eq "$(echo "$parsed" | cut -d= -f1 | tr '\n' ' ')" "PATCH ADDLOCAL REINSTALL PATCHTITLE PATCHGUID " \
              "properties in the command line"
e2e_expect_eq "$(echo "$parsed" | sed -n 1p)" "PATCH=$temp" "PATCH property"
e2e_expect_eq "$(echo "$parsed" | sed -n 2p)" "ADDLOCAL=" "ADDLOCAL property"
e2e_expect_eq "$(echo "$parsed" | sed -n 4p)" "PATCHTITLE=$title" "PATCHTITLE property"
e2e_expect_eq "$(echo "$parsed" | sed -n 5p)" "PATCHGUID=$guid" "PATCHGUID property"
reinstall_shown=$(echo "$parsed" | sed -n '3s/^REINSTALL=//p')
[[ "$reinstall_shown" == *... ]] || e2e_expect_eq "$reinstall_shown" "$reinstall" "REINSTALL property"
[[ "$reinstall" == "${reinstall_shown%...}"* ]] || e2e_fail "REINSTALL property starts [${reinstall_shown}]"

# Around the call: language first, the package left for deletion at the next restart.
calls=$(e2e_calls)
echo "$calls" | grep -q 'Call KERNEL32.SetThreadLocale(00000409)' || e2e_fail "thread locale not set to 1033"
echo "$calls" | grep -qF "Call KERNEL32.MoveFileExA($(echo "$calls" | grep -o 'MoveFileExA([0-9a-f]*' | cut -d'(' -f2) \"${temp//\\/\\\\}\",00000000,00000004)" \
    || e2e_fail "no delayed deletion of $temp"
cmp "$(e2e_unix_path "$temp")" "$SPLAUNCH_PACKAGE" || e2e_fail "the temporary package is not the embedded patch"
echo "PASS"
