#!/usr/bin/env bash
# Times splaunch.exe /q patching the demo product against msiexec /p with the same patch, each on its own copy of one prepared Wine prefix.
set -euo pipefail

build=$(cd "${1:-build/target}" && pwd) || { echo "no build folder ${1:-build/target}: run make target" >&2; exit 2; }
source "$(dirname "$0")/wine-env.sh"
demo="$build/demo-patch"
tools=$(wine_arch_dir "$demo")
work="$build/bench-wine"
for f in "$build/splaunch.exe" "$demo/kelvarin.msi" "$demo/kelvarin-sp1.msp" "$tools/msiq.exe"; do
    [ -f "$f" ] || { echo "missing $f: run make target first" >&2; exit 2; }
done
PRODUCT=$DEMO_PRODUCT
unset DISPLAY
stop() { wine_stop_server; }
trap stop EXIT
rm -rf "$work" && mkdir -p "$work/home" "$work/tmp"
export HOME="$work/home" TMPDIR="$work/tmp"    # Wine's server folders stay inside $work

# One prepared state: the demo product installed at 7.0.43.5, both packages on C:.
export WINEPREFIX="$work/base"
wine_boot_prefix || { echo "wineboot failed" >&2; exit 1; }
cp "$demo/kelvarin.msi" "$demo/kelvarin-sp1.msp" "$build/splaunch.exe" "$WINEPREFIX/drive_c/"
timeout 120 wine msiexec /i 'C:\kelvarin.msi' /qn ADDLOCAL=ALL || { echo "install failed" >&2; exit 1; }
stop

# time_in COPY COMMAND...: copies the prepared prefix, warms its session up, times the
# command (seconds, to stdout) and checks that the product was patched.
time_in() {
    local copy=$1 start end version
    shift
    export WINEPREFIX="$work/$copy"
    cp -a "$work/base" "$WINEPREFIX"
    wineserver -p
    wine reg query 'HKCU\Software\Wine' >/dev/null 2>&1 || true
    start=$(date +%s.%N)
    (cd "$WINEPREFIX/drive_c" && timeout 120 "$@") >/dev/null 2>&1 || true
    end=$(date +%s.%N)
    version=$(wine "$tools/msiq.exe" version "$PRODUCT" | tr -d '\r')
    [ "$version" = 7.1.0.5 ] || { echo "$copy: product not patched (VersionString $version)" >&2; exit 1; }
    stop
    awk -v s="$start" -v e="$end" 'BEGIN { printf "%.3f\n", e - s }'
}

# Several rounds with the order alternating, so that neither side always runs on a
# colder cache; the medians are compared.
rounds=${BENCH_ROUNDS:-3}
launcher_times=() msiexec_times=()
for round in $(seq 1 "$rounds"); do
    if [ $((round % 2)) -eq 1 ]; then
        launcher_times+=("$(time_in "launcher$round" wine 'C:\splaunch.exe' /q)")
        msiexec_times+=("$(time_in "msiexec$round" wine msiexec /p 'C:\kelvarin-sp1.msp' /qn)")
    else
        msiexec_times+=("$(time_in "msiexec$round" wine msiexec /p 'C:\kelvarin-sp1.msp' /qn)")
        launcher_times+=("$(time_in "launcher$round" wine 'C:\splaunch.exe' /q)")
    fi
    rm -rf "$work/launcher$round" "$work/msiexec$round"
done
median() { printf '%s\n' "$@" | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
launcher=$(median "${launcher_times[@]}")
msiexec=$(median "${msiexec_times[@]}")
echo "launcher: $build/splaunch.exe"
bash "$(dirname "$0")/wine-arch.sh" describe "$SPLAUNCH_WINE_ARCH" | sed 's/^/    /'
echo "splaunch.exe /q, $rounds runs:             ${launcher_times[*]} s (median $launcher)"
echo "msiexec /p kelvarin-sp1.msp /qn, $rounds runs: ${msiexec_times[*]} s (median $msiexec)"
awk -v a="$launcher" -v b="$msiexec" 'BEGIN { printf "ratio of the medians (splaunch / msiexec): %.2f\n", a / b }'
rm -rf "$work"
