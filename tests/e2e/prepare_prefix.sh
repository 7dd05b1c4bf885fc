#!/usr/bin/env bash
# Prepares a template prefix the scenarios copy: the booted one, or with VERSION the demo product installed at it.
# The booted one (its relay trace narrowed to the launcher's calls) is remade when the architecture Wine runs changes
# (a prefix refuses the other one); the product's (all features local, the host settings) when the demo package does.
source "$(dirname "$0")/lib.sh" || exit 1
version=${1:-}
if [ -z "$version" ]; then
    dir="$E2E_DIR/template" stamp="$SPLAUNCH_WINE_ARCH $E2E_RELAY"
else
    dir="$E2E_DIR/product-$version"
    stamp=$(cat "$DEMO_DIR/kelvarin.msi" "$SPLAUNCH_SOURCE_DIR/demo/gen-kelvarin.py" "$E2E_DIR/template/.ready" | md5sum)
fi
if [ -f "$dir/.ready" ] && [ "$(cat "$dir/.ready")" = "$stamp" ]; then exit 0; fi
rm -rf "$dir" && mkdir -p "$dir/home" "$dir/tmp"
export WINEPREFIX="$dir/prefix" HOME="$dir/home" TMPDIR="$dir/tmp"
if [ -z "$version" ]; then
    wine_boot_prefix "$E2E_RELAY" || e2e_fail "wineboot -i failed in $WINEPREFIX"
else
    cp -a "$E2E_DIR/template/prefix" "$WINEPREFIX"
    cp "$DEMO_DIR/kelvarin.msi" "$WINEPREFIX/drive_c/kelvarin.msi"
    if [ "$version" != 7.0.43.5 ]; then
        python3 "$SPLAUNCH_SOURCE_DIR/demo/gen-kelvarin.py" "$dir/msi" --version "$version" >/dev/null
        (cd "$dir/msi" && wixl -a x86 -o "$WINEPREFIX/drive_c/kelvarin.msi" kelvarin.wxs) \
            || e2e_fail "wixl failed for $version"
    fi
    timeout 120 wine msiexec /i 'C:\kelvarin.msi' /qn ADDLOCAL=ALL || e2e_fail "installing the demo product failed"
    wine_add_demo_host_settings
    e2e_expect_eq "$(e2e_msiq version "$PRODUCT")" "$version" "installed version"
fi
wine_stop_server
echo "$stamp" > "$dir/.ready"
