#!/usr/bin/env bash
# The main job on the built-in demo: extracts the embedded package under Wine and
# reports where it went.
set -euo pipefail
build=${1:-build/target}
work="$build/demo"
rm -rf "$work" && mkdir -p "$work/home"
export WINEPREFIX="$PWD/$work/prefix" HOME="$PWD/$work/home" WINEARCH=win32 WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
unset DISPLAY
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT
start=$(date +%s.%N)
wineboot -i >/dev/null 2>&1
set +e
wine "$build/splaunch.exe" /e 'C:\splaunch-demo.msp'
rc=$?
set -e
out="$WINEPREFIX/drive_c/splaunch-demo.msp"
echo "splaunch.exe /e 'C:\\splaunch-demo.msp' exited with $rc"
if [ "$rc" -eq 0 ] && cmp -s "$out" "$build/package/splaunch.msp"; then
    echo "package written to $out ($(stat -c %s "$out") bytes, identical to the embedded one)"
else
    echo "extraction failed" >&2
    exit 1
fi
echo "time: $(echo "$(date +%s.%N) - $start" | bc 2>/dev/null || echo '?') s"
