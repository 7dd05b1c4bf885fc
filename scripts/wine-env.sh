# Sourced by every script that runs Wine: its environment, the architecture it runs, and the demo product's facts.
#
# SPLAUNCH_WINE_ARCH picks the Windows architecture Wine runs: win32 (a 32-bit prefix
# running the shipped i686 launcher itself, on machines whose kernel runs 32-bit programs)
# or win64 (a 64-bit prefix running 64-bit builds of the launcher and the tools, which
# works on any x86-64 machine). Unset, scripts/wine-arch.sh picks the one this machine
# runs. The caller sets WINEPREFIX and HOME.

SPLAUNCH_WINE_ARCH=${SPLAUNCH_WINE_ARCH:-$(bash "$(dirname "${BASH_SOURCE[0]}")/wine-arch.sh")}
case "$SPLAUNCH_WINE_ARCH" in
    win64)
        # Debian's wine command prefers the 32-bit loader; these wrappers use the 64-bit one.
        PATH="$(cd "$(dirname "${BASH_SOURCE[0]}")/wine64" && pwd):$PATH"
        DEMO_PROGRAM_FILES='Program Files (x86)'    # the demo product is a 32-bit package
        ;;
    win32)
        DEMO_PROGRAM_FILES='Program Files'
        ;;
    *)
        echo "SPLAUNCH_WINE_ARCH must be win64 or win32, not $SPLAUNCH_WINE_ARCH" >&2
        return 2
        ;;
esac
export PATH SPLAUNCH_WINE_ARCH
export WINEARCH=$SPLAUNCH_WINE_ARCH
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

# wine_arch_dir DEMO_DIR: the folder of the demo build (tools/build-demo-patch.sh) that
# belongs to the architecture Wine runs: a prefix and the tools built to run in it serve
# that architecture only (a prefix refuses the other). cmake/package.cmake lists its tools.
wine_arch_dir() { echo "$1/$SPLAUNCH_WINE_ARCH"; }

# The demo product (demo/gen-kelvarin.py) and the host application's keys the launcher touches.
DEMO_PRODUCT='{4F2A7C15-3B9D-0409-A1E6-5C8D2B7F9031}'
DEMO_PATCH_GUID='{B7E3D1A9-52C4-4F8E-9A06-1D3C7E5B2F48}'
DEMO_PRODUCT_DIR="$DEMO_PROGRAM_FILES/Tessaran/Kelvarin 2004"
HOST_KEY='Software\Tessaran\Corvane\R16.0\CORV-203:409'
SERVICE_KEY="HKLM\\Software\\Tessaran\\Kestrune\\$DEMO_PRODUCT"
PENDING_KEY='HKLM\System\CurrentControlSet\Control\Session Manager'

# wine_reg_value KEY NAME: the value's data as reg shows it, or "absent".
wine_reg_value() {
    local out
    out=$(wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r') || { echo absent; return 0; }
    echo "$out" | awk -v n="$2" '$1 == n { $1 = ""; $2 = ""; sub(/^ +/, ""); print }'
}

# wine_boot_prefix [RELAY]: boots a new prefix in WINEPREFIX for unattended runs: crash
# dialogs off, windows drawn by Wine (their captions show), and Wine's relay trace
# narrowed to the functions RELAY names (;-separated).
wine_boot_prefix() {
    timeout 120 wineboot -i >/dev/null 2>&1 || return 1
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    [ -z "${1:-}" ] || wine reg add 'HKCU\Software\Wine\Debug' /v RelayInclude /d "$1" /f >/dev/null 2>&1
}

# Stops the current prefix's wineserver and waits for it.
wine_stop_server() {
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w >/dev/null 2>&1 || true
}

# The host application's settings a patch run reads or removes, as the demo product's
# host keeps them: not a network installation, the current profile "Drafting" and the
# unnamed one each with Today_WorkMode (and another value), and the update service's key.
wine_add_demo_host_settings() {
    local profiles="HKCU\\$HOST_KEY\\Profiles" p
    wine reg add "HKLM\\$HOST_KEY" /v StandaloneNetworkType /t REG_DWORD /d 0 /f >/dev/null
    wine reg add "$profiles" /ve /d Drafting /f >/dev/null
    for p in Drafting '<<Unnamed Profile>>'; do
        wine reg add "$profiles\\$p\\General Configuration" /v Today_WorkMode /t REG_DWORD /d 1 /f >/dev/null
        wine reg add "$profiles\\$p\\General Configuration" /v Units /d metric /f >/dev/null
    done
    wine reg add "$SERVICE_KEY" /v LastCheck /d 2004-06-01 /f >/dev/null
}
