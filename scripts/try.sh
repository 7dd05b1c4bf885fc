#!/usr/bin/env bash
# Tries a launcher from its definition under Wine: builds it, installs the products in a fresh prefix, runs it with /plan and then for real on a private X display (each box photographed and closed), and reports what happened. Exits 0 only when every product was patched.
#
# usage: scripts/try.sh [--package MSP] [--folder DIR] [--hooks FILE] WINE_BUILD DEFINITION PRODUCT.msi...
#   WINE_BUILD   the build folder of the architecture Wine runs (build/target; build/target-win64 under a
#                64-bit Wine): its query tool and configuration tools serve the try
#   DEFINITION   the launcher's definition (TOML)
#   PRODUCT.msi  each product to install first (msiexec /i ... /qn ADDLOCAL=ALL)
#   --package    a patch to embed instead of the definition's (-DSPLAUNCH_PACKAGE)
#   --folder     the try's folder: the launcher's build, and run/ with the prefix, the traces and the
#                screenshots (default: build/try/<definition's name>, with -win64 under a 64-bit Wine)
#   --hooks      a file of functions that set up and report more (scripts/demo-hooks.sh: the demo's)
#
# A product is patched when its version moved, to its target version (row 700+i) when the definition
# has a product i of its code.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
usage() { sed -n '4,15s/^# \{0,1\}//p' "$0" >&2; exit 2; }
die() { echo "$*" >&2; exit 2; }
# full_path FILE: FILE as an absolute path; it must exist.
full_path() { [ -f "$1" ] || die "no file $1"; echo "$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"; }

package="" folder="" hooks=""
while [ $# -gt 0 ]; do
    case $1 in
        --package | --folder | --hooks) [ $# -ge 2 ] || usage; declare "${1#--}=$2"; shift 2 ;;
        -*) usage ;;
        *) break ;;
    esac
done
[ $# -ge 3 ] || usage
wine_build=$(cd "$1" && pwd) || die "no build folder $1: run make target"
definition=$(full_path "$2")
shift 2
products=()
for msi in "$@"; do products+=("$(full_path "$msi")"); done
[ -z "$package" ] || package=$(full_path "$package")

source "$here/wine-display.sh"
source "$here/wine-env.sh"
for tool in wine Xvfb xdotool import msiinfo cmake; do
    command -v "$tool" >/dev/null || die "missing $tool: run scripts/install-deps.sh"
done

# What a hooks file may define (scripts/demo-hooks.sh). They see WINEPREFIX, TRY_RUN (the run
# folder), TRY_LAUNCHER, TRY_WINE_BUILD and, after the run, TRY_RC; try_msiq queries the installer.
try_install_properties() { :; }    # CODE: more msiexec properties for the product of that code
try_prepare() { :; }               # after the products are installed, before the launcher runs
try_report() { :; }                # more report lines after the run
try_verdict() { :; }               # fails when the run did not do what the hooks expect
[ -z "$hooks" ] || source "$(full_path "$hooks")"
try_msiq() { wine "$tools/msiq.exe" "$@" | tr -d '\r'; }
step() { printf '%-60s' "$1" >&2; }
done_step() { echo "${1:-done}" >&2; }

name=$(basename "$definition" .toml)
preset=target
[ "$SPLAUNCH_WINE_ARCH" = win32 ] || { preset=target-win64; name+=-win64; }
folder=${folder:-$root/build/try/$name}
mkdir -p "$folder"
folder=$(cd "$folder" && pwd)
start=$(date +%s.%N)

# The query tool comes with the demo build, which a build of another definition than the shipped
# one makes only on demand; the configuration tools are lent to the try's build.
step "Building the tools of $wine_build"
if ! cmake --build "$wine_build" --target splaunch_demo_patch splaunch_configuration_tools >"$folder/tools.log" 2>&1; then
    echo "failed" >&2
    cat "$folder/tools.log" >&2
    die "the query tool or the configuration tools of $wine_build did not build (log: $folder/tools.log)"
fi
done_step
tools=$(wine_arch_dir "$wine_build/demo-patch")

step "Building the launcher in $folder"
build_log="$folder/build.log"
if ! (cd "$root" && cmake --preset "$preset" -B "$folder" -DSPLAUNCH_DEFINITION="$definition" \
          -DSPLAUNCH_PACKAGE="$package" -DSPLAUNCH_CONFIGURATION_TOOLS="$wine_build/configuration-tools" \
          -DSPLAUNCH_WINE_ARCH="$SPLAUNCH_WINE_ARCH" &&
      cmake --build "$folder" -j2 --target splaunch) >"$build_log" 2>&1; then
    echo "failed" >&2
    cat "$build_log" >&2
    die "the launcher of $definition did not build (log: $build_log)"
fi
done_step
file=$(sed -n 's/^set(SPLAUNCH_LAUNCHER_FILE "\(.*\)")$/\1/p' "$folder/definition/launcher.cmake")
TRY_LAUNCHER="$folder/$file" TRY_WINE_BUILD=$wine_build

# The definition's products as its string table has them: code (row 500+i) and target version (700+i).
rc="$folder/definition/splaunch.rc"
row_id() { sed -n "s/^#define $1 \([0-9]*\)$/\1/p" "$root/res/resource.h"; }
codes_row=$(row_id IDS_PRODUCT_CODES) targets_row=$(row_id IDS_PRODUCT_TARGET_VERSIONS)
# definition_target CODE: the target version of the definition's product of that code; fails when none has it.
definition_target() {
    awk -v code="${1^^}" -v codes="$codes_row" -v targets="$targets_row" '
        match($0, /^ *[0-9]+ L"[^:"]*:/) { value = substr($0, RLENGTH + 1); sub(/"$/, "", value); row[$1 + 0] = value }
        END { for (i = 0; (codes + i) in row; i++) if (toupper(row[codes + i]) == code) { print row[targets + i]; exit 0 }
              exit 1 }' "$rc"
}
# msi_property MSI NAME: a property of the product's Property table.
msi_property() { msiinfo export "$1" Property | tr -d '\r' | awk -F '\t' -v n="$2" '$1 == n { print $2 }'; }

TRY_RUN="$folder/run"
rm -rf "$TRY_RUN" && mkdir -p "$TRY_RUN/home" "$TRY_RUN/tmp"
# TMPDIR keeps Wine's server folders (wine-XXXXXX) inside the run folder.
export WINEPREFIX="$TRY_RUN/prefix" HOME="$TRY_RUN/home" TMPDIR="$TRY_RUN/tmp"
trap 'wine_stop_server; wd_stop_display' EXIT
RELAY="MessageBoxA;MsiQueryProductStateA;MsiGetProductInfoA;MsiConfigureProductExA;MsiSetInternalUI;MoveFileExA;RegDeleteKeyA;RegDeleteValueA;WritePrivateProfileStringA"
# The display comes first: a Wine session keeps the display it started with. One session lasts
# from here to the report, since every new session acts as a restart.
step "Starting a private X display"
wd_start_display || exit 1
done_step "$DISPLAY"
step "Making a fresh Wine prefix"
mkdir -p "$WINEPREFIX"
wineserver -p || die "could not start a wineserver for $WINEPREFIX"
wine_boot_prefix "$RELAY" || die "wineboot failed"
done_step

codes=() names=() targets=() before=()
mkdir -p "$WINEPREFIX/drive_c/products"
for i in "${!products[@]}"; do
    msi=${products[$i]}
    codes[i]=$(msi_property "$msi" ProductCode)
    names[i]=$(msi_property "$msi" ProductName)
    targets[i]=$(definition_target "${codes[i]}") || targets[i]=""
    step "Installing ${names[i]} $(msi_property "$msi" ProductVersion)"
    installed="$i-$(basename "$msi")"
    cp "$msi" "$WINEPREFIX/drive_c/products/$installed"
    read -r -a extra <<<"$(try_install_properties "${codes[i]}")"
    timeout 120 wine msiexec /i "C:\\products\\$installed" /qn ADDLOCAL=ALL "${extra[@]}" ||
        die "installing $msi failed"
    done_step
done
try_prepare
for i in "${!codes[@]}"; do before[i]=$(try_msiq version "${codes[i]}" 2>/dev/null) || before[i]="(not installed)"; done

cp "$TRY_LAUNCHER" "$TRY_RUN/$file"
# launch SHOTS CHANNELS TRACE ARGS...: the launcher with ARGS in the run folder, its boxes
# photographed into SHOTS and closed, Wine's trace (relay and CHANNELS) in TRACE; sets TRY_RC.
launch() {
    local shots=$1 channels=$2 trace=$3
    shift 3
    wd_run_with_boxes "$shots" 120 bash -c 'cd "$0" && WINEDEBUG="+relay$1" exec wine "$2" "${@:4}" 2> "$3"' \
        "$TRY_RUN" "$channels" "$file" "$trace" "$@"
    TRY_RC=$WD_RC
    [ "$TRY_RC" -ne 124 ] || die "$file $* did not end within 120 s"
}
log_name="${file%.exe}.log" plan_log_name="${file%.exe}-plan.log"
mkdir -p "$WINEPREFIX/drive_c/logs"
step "Running $file /plan"
launch "$TRY_RUN/plan" "" "$TRY_RUN/plan-relay.log" /plan /l "C:\\logs\\$plan_log_name"
plan_rc=$TRY_RC
done_step
step "Running $file /l"
run_start=$(date +%s.%N)
launch "$TRY_RUN/shots" ",+msi" "$TRY_RUN/relay.log" /l "C:\\logs\\$log_name"
run_end=$(date +%s.%N)
done_step

source "$here/try-report.sh"
