#!/bin/bash
# Proves the demo patches by their effect under Wine, in fresh prefixes under OUTDIR.
#
# usage: tools/check-demo-patch.sh OUTDIR     (OUTDIR as left by build-demo-patch.sh)
#
# Wine returns 0 for a missing, invalid or non-matching patch, so every check here
# looks at the result: VersionString, file contents, registered patches, feature states.
set -uo pipefail

[ $# -eq 1 ] || { echo "usage: $0 OUTDIR" >&2; exit 2; }
out=$(cd "$1" && pwd) || exit 2
for f in kelvarin.msi kelvarin-sp1.msp kelvarin-sp1-fail.msp kelvarin-sp1-reboot.msp msiq.exe; do
    [ -f "$out/$f" ] || { echo "missing $out/$f: run build-demo-patch.sh first" >&2; exit 2; }
done
export WINEARCH=win32 WINEDEBUG=-all HOME="$out/home" WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
unset DISPLAY
mkdir -p "$HOME"
cd "$out"

PRODUCT='{4F2A7C15-3B9D-0409-A1E6-5C8D2B7F9031}'
SP1='{B7E3D1A9-52C4-4F8E-9A06-1D3C7E5B2F48}'
REBOOT='{C3F91B47-6A2E-4D85-B7C0-2E8D5F1A9B63}'
failures=0

expect() {  # expect WHAT ACTUAL EXPECTED
    if [ "$2" == "$3" ]; then echo "ok   $1"; else echo "FAIL $1: got '$2', want '$3'"; failures=$((failures + 1)); fi
}
msiexec_rc() {  # runs msiexec with the given arguments, prints the exit code and its time to stderr
    local start end rc
    start=$(date +%s.%N)
    wine msiexec "$@" /qn >&2
    rc=$?
    end=$(date +%s.%N)
    awk -v a="msiexec $*" -v s="$start" -v e="$end" 'BEGIN { printf "     %s: %.2f s\n", a, e - s }' >&2
    echo "$rc"
}
content() { tr -d '\r' < "$WINEPREFIX/drive_c/Program Files/Tessaran/Kelvarin 2004/$1"; }
features() { wine msiq.exe features "$PRODUCT" "$@" | tr -d '\r' | tr '\n' ' '; }
fresh_prefix() {  # fresh_prefix NAME: a copy of the template prefix, with the packages on C:
    export WINEPREFIX="$out/check-$1"
    rm -rf "$WINEPREFIX"
    cp -a "$out/check-template" "$WINEPREFIX"
    cp kelvarin.msi kelvarin-sp1*.msp "$WINEPREFIX/drive_c/"
}

echo "== template prefix"
export WINEPREFIX="$out/check-template"
rm -rf "$WINEPREFIX"
wineboot -i && wineserver -w

echo "== the builder refuses definitions that do not fit the target"
refuses() {  # refuses WHAT SED-EXPRESSION: mspbuild must fail on the edited definition
    sed -e "$2" kelvarin-sp1.patch > check-bad.patch
    wine mspbuild.exe check-bad.patch check-bad.msp > /dev/null 2> check-bad.log
    expect "refuses $1" "$? $(grep -c '^mspbuild: ' check-bad.log)" "1 1"
}
refuses "a wrong old version"   's/^old_version .*/old_version = 7.0.43.4/'
refuses "an unknown file key"   's/^F_P /F_NOPE /'
refuses "content not in cab"    's|^F_P .*|F_P = v1/files/p.txt|'
refuses "a ProductVersion row"  's/^KELVARIN_SP = 1/ProductVersion = 9/'
rm -f check-bad.patch check-bad.msp check-bad.log
wineserver -k

echo "== patch, failure and restart variants"
fresh_prefix patch
expect "install"                  "$(msiexec_rc /i 'C:\kelvarin.msi')" 0
expect "product state"            "$(wine msiq.exe state "$PRODUCT" | tr -d '\r')" 5
expect "version before"           "$(wine msiq.exe version "$PRODUCT" | tr -d '\r')" 7.0.43.5
expect "file before"              "$(content p.txt)" "version 7.0.43.5"
expect "failing patch gives 1603" "$(msiexec_rc /p 'C:\kelvarin-sp1-fail.msp')" $((1603 % 256))
expect "product kept after 1603"  "$(wine msiq.exe version "$PRODUCT" | tr -d '\r')" 7.0.43.5
expect "file kept after 1603"     "$(content p.txt)" "version 7.0.43.5"
expect "no patch after 1603"      "$(wine msiq.exe patches "$PRODUCT" | tr -d '\r')" ""
expect "sp1 gives 0"              "$(msiexec_rc /p 'C:\kelvarin-sp1.msp')" 0
expect "version after sp1"        "$(wine msiq.exe version "$PRODUCT" | tr -d '\r')" 7.1.0.5
expect "uninstall key version"    "$(wine reg query "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$PRODUCT" \
                                     /v DisplayVersion | tr -d '\r' | awk '/DisplayVersion/ { print $3 }')" 7.1.0.5
expect "p.txt replaced"           "$(content p.txt)" "version 7.1.0.5"
expect "core file replaced"       "$(content Core/hm_corecommon_0001.txt)" "version 7.1.0.5"
expect "system file replaced"     "$(content System/hm_system_0001.txt)" "version 7.1.0.5"
expect "other file untouched"     "$(content Core/hm_corecommon_0002.txt)" "Kelvarin 2004 data for feature HM_CORECOMMON_0002"
expect "sp1 registered"           "$(wine msiq.exe patches "$PRODUCT" | tr -d '\r')" "$SP1"
expect "restart patch gives 3010" "$(msiexec_rc /p 'C:\kelvarin-sp1-reboot.msp')" $((3010 % 256))
expect "both patches registered"  "$(wine msiq.exe patches "$PRODUCT" | tr -d '\r' | sort | tr '\n' ' ')" \
                                  "$(printf '%s\n' "$SP1" "$REBOOT" | sort | tr '\n' ' ')"
wineserver -k

echo "== feature states 1/2/3/4 in one install, then patched"
fresh_prefix states
expect "install with states" \
       "$(msiexec_rc /i 'C:\kelvarin.msi' ADDLOCAL=ALL ADVERTISE=HM_SYSTEM_0004 REMOVE=HM_SYSTEM_0005)" 0
expect "states" "$(features HM_SYSTEM_0003 HM_SYSTEM_0004 HM_SYSTEM_0005 Registry_Feature P No_Such)" \
       "HM_SYSTEM_0003=3 HM_SYSTEM_0004=1 HM_SYSTEM_0005=2 Registry_Feature=4 P=3 No_Such=-1 "
expect "sp1 gives 0"              "$(msiexec_rc /p 'C:\kelvarin-sp1.msp')" 0
expect "version after sp1"        "$(wine msiq.exe version "$PRODUCT" | tr -d '\r')" 7.1.0.5
expect "states after sp1" "$(features HM_SYSTEM_0003 HM_SYSTEM_0004 HM_SYSTEM_0005 Registry_Feature)" \
       "HM_SYSTEM_0003=3 HM_SYSTEM_0004=1 HM_SYSTEM_0005=2 Registry_Feature=4 "
wineserver -k

echo "== a patch for a product that is not installed"
fresh_prefix absent
expect "msiexec /p gives 1605"    "$(msiexec_rc /p 'C:\kelvarin-sp1.msp')" $((1605 % 256))
expect "and installs nothing"     "$(wine msiq.exe state "$PRODUCT" | tr -d '\r')" -1
wineserver -k

rm -rf "$out/check-patch" "$out/check-states" "$out/check-absent" "$out/check-template"
[ "$failures" -eq 0 ] && echo "all checks passed" || echo "$failures check(s) failed"
[ "$failures" -eq 0 ]
