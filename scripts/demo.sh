#!/usr/bin/env bash
# The main job on the built-in demo: installs Kelvarin 2004 in a fresh Wine prefix, runs splaunch.exe as a user would
# on a private X display (photographing and closing each box), and reports what happened. Exits 0 only when the product really was patched.
set -euo pipefail

build=$(cd "${1:-build/target}" && pwd) || { echo "no build folder ${1:-build/target}: run make target" >&2; exit 2; }
here=$(cd "$(dirname "$0")" && pwd)
source "$here/wine-display.sh"
source "$here/wine-env.sh"
demo="$build/demo-patch"
tools=$(wine_arch_dir "$demo")
work="$build/demo"
for f in "$build/splaunch.exe" "$demo/kelvarin.msi" "$tools/msiq.exe"; do
    [ -f "$f" ] || { echo "missing $f: run make target first" >&2; exit 2; }
done
for tool in wine Xvfb xdotool import; do
    command -v "$tool" >/dev/null || { echo "missing $tool: run scripts/install-deps.sh" >&2; exit 2; }
done

PRODUCT=$DEMO_PRODUCT
PROFILES="HKCU\\$HOST_KEY\\Profiles"
FILES=$DEMO_PRODUCT_DIR
RELAY="MessageBoxA;MsiQueryProductStateA;MsiGetProductInfoA;MsiConfigureProductExA;MsiSetInternalUI;MoveFileExA;RegDeleteKeyA;RegDeleteValueA;WritePrivateProfileStringA"

rm -rf "$work" && mkdir -p "$work/home" "$work/tmp"
# TMPDIR keeps Wine's server folders (wine-XXXXXX) inside the demo folder.
export WINEPREFIX="$work/prefix" HOME="$work/home" TMPDIR="$work/tmp"
cleanup() {
    wine_stop_server
    wd_stop_display
}
trap cleanup EXIT
step() { printf '%-52s' "$1" >&2; }
done_step() { echo "done" >&2; }
msiq() { wine "$tools/msiq.exe" "$@" | tr -d '\r'; }

start=$(date +%s.%N)
# The display comes first: a Wine session keeps the display it started with. One session
# lasts from here to the report, since every new session acts as a restart.
step "Starting a private X display"
wd_start_display || exit 1
echo "$DISPLAY" >&2
step "Making a fresh Wine prefix"
mkdir -p "$WINEPREFIX"
wineserver -p || { echo "could not start a wineserver for $WINEPREFIX" >&2; exit 1; }
wine_boot_prefix "$RELAY" || { echo "wineboot failed" >&2; exit 1; }
done_step

# All features local but one advertised and one group absent, so restoration shows.
step "Installing Kelvarin 2004 7.0.43.5"
cp "$demo/kelvarin.msi" "$WINEPREFIX/drive_c/kelvarin.msi"
timeout 120 wine msiexec /i 'C:\kelvarin.msi' /qn ADDLOCAL=ALL ADVERTISE=HM_SYSTEM_0004 REMOVE=STD_JIS \
    || { echo "installing the demo product failed" >&2; exit 1; }
done_step
step "Setting up the host application's registry"
wine_add_demo_host_settings
done_step

version_before=$(msiq version "$PRODUCT")
features_before=$(msiq features "$PRODUCT" HM_SYSTEM_0004 STD_JIS HM_STD_JIS_0010 | tr '\n' ' ')
file_before=$(tr -d '\r' < "$WINEPREFIX/drive_c/$FILES/p.txt")

step "Running splaunch.exe"
cp "$build/splaunch.exe" "$work/splaunch.exe"
run_start=$(date +%s.%N)
mkdir -p "$WINEPREFIX/drive_c/logs"
wd_run_with_boxes "$work/shots" 120 \
    bash -c 'cd "$0" && WINEDEBUG=+relay,+msi exec wine splaunch.exe /l "C:\logs\splaunch.log" 2> relay.log' "$work"
run_end=$(date +%s.%N)
rc=$WD_RC
done_step
[ "$rc" -ne 124 ] || { echo "splaunch.exe did not end within 120 s" >&2; exit 1; }

# Everything below reads the same session: the pending deletion is still pending.
log="$work/relay.log"
version_after=$(msiq version "$PRODUCT")
features_after=$(msiq features "$PRODUCT" HM_SYSTEM_0004 STD_JIS HM_STD_JIS_0010 | tr '\n' ' ')
file_after=$(tr -d '\r' < "$WINEPREFIX/drive_c/$FILES/p.txt")
pending=$(wine_reg_value "$PENDING_KEY" PendingFileRenameOperations)
unescape() { sed 's/\\"/"/g; s/\\\\/\\/g'; }

echo
echo "== splaunch.exe on the demo product"
echo "launcher:            $build/splaunch.exe"
bash "$here/wine-arch.sh" describe "$SPLAUNCH_WINE_ARCH" | sed 's/^/                     /'
echo "products found:      $(awk '/Call msi.MsiQueryProductStateA/ { split($0, q, "\""); code = q[2] }
                                   /Ret  msi.MsiQueryProductStateA\(\) retval=0000000[15] / { print code }' "$log" | tr '\n' ' ')"
echo "version:             $version_before -> $version_after"
echo "p.txt:               \"$file_before\" -> \"$file_after\""
echo "patch command line (Wine's trace shows the first 291 characters):"
grep -a -m1 'Call msi.MsiConfigureProductExA' "$log" | sed 's/.*,[0-9a-f]* "\(.*\)) ret=.*/    \1/' | unescape
echo "  as the installer parsed it:"
grep -a -m5 'msi_parse_command_line Found commandline property' "$log" \
    | sed 's/.*property L"\([^"]*\)" = L"\(.*\)/    \1="\2/' | unescape | cut -c1-160
reinstalled=$(awk '/Call msi.MsiConfigureProductExA/ { n++ } n == 1' "$log" \
              | grep -a 'MSI_SetFeatureStates examining feature' | grep -c 'installed 3 request 3 action 3' || true)
echo "features reinstalled: $reinstalled (the installer's count of local features it reinstalled)"
echo "removal call:        $(grep -a 'Call msi.MsiConfigureProductExA' "$log" | sed -n '2s/.*,[0-9a-f]* "\(.*\)") ret=.*/\1/p' | unescape)"
echo "feature states:      before: $features_before"
echo "                     after:  $features_after"
echo "registry values removed:"
grep -a 'Call advapi32.RegDelete' "$log" | sed 's/.*\(RegDelete[A-Za-z]*\)([0-9a-f]*,[0-9a-f]* "\(.*\)") ret=.*/    \1 \2/' | unescape
echo "    now: service key $(wine reg query "$SERVICE_KEY" >/dev/null 2>&1 && echo present || echo absent)," \
     "Today_WorkMode (Drafting) $(wine_reg_value "$PROFILES\\Drafting\\General Configuration" Today_WorkMode)," \
     "Today_WorkMode (<<Unnamed Profile>>) $(wine_reg_value "$PROFILES\\<<Unnamed Profile>>\\General Configuration" Today_WorkMode)"
package=$(grep -a -m1 'Call msi.MsiConfigureProductExA' "$log" | unescape | sed 's/.*PATCH="\([^"]*\)".*/\1/')
echo "package:             $package (in its own protected folder, held read-only until the turn ends)"
echo "pending deletion:    PendingFileRenameOperations = $pending"
echo "messages shown:"
grep -a 'Call user32.MessageBoxA' "$log" | sed 's/.*MessageBoxA([0-9a-f]*,[0-9a-f]* "\(.*\)",[0-9a-f]* "\(.*\)",\([0-9a-f]*\)) ret=.*/    "\1" captioned "\2" (style \3)/'
while IFS='|' read -r caption shot; do
    echo "    window \"$caption\": $shot"
done < "$work/shots/boxes.txt"
launcher_log="$WINEPREFIX/drive_c/logs/splaunch.log"
echo "log (/l):            C:\logs\splaunch.log = $launcher_log"
echo "    first line:      $(head -n 1 "$launcher_log" | tr -d '\r')"
echo "    last line:       $(tail -n 1 "$launcher_log" | tr -d '\r')"
echo "    installer's log: $(ls "$WINEPREFIX"/drive_c/logs/splaunch_001_*.log)"
echo "exit code:           $rc (as wine reports it, modulo 256)"
awk -v a="$run_start" -v b="$run_end" -v s="$start" -v e="$(date +%s.%N)" \
    'BEGIN { printf "time:                splaunch.exe %.2f s, whole demo %.2f s\n", b - a, e - s }'

if [ "$rc" -eq 0 ] && [ "$version_after" = 7.1.0.5 ] && [ "$file_after" = "version 7.1.0.5" ]; then
    echo "result:              patched"
else
    echo "result:              NOT patched" >&2
    exit 1
fi
