# Sourced by every script that runs Wine: its environment, the architecture it runs, and the demo product's facts.
#
# SPLAUNCH_WINE_ARCH picks the Windows architecture Wine runs: win64 (the default: a
# 64-bit prefix running 64-bit builds of the launcher and the tools, which works on any
# x86-64 machine) or win32 (a 32-bit prefix running the shipped i686 launcher itself,
# on machines whose kernel runs 32-bit programs). The caller sets WINEPREFIX and HOME.

SPLAUNCH_WINE_ARCH=${SPLAUNCH_WINE_ARCH:-win64}
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

# The demo product (demo/gen-kelvarin.py) and the host application's keys the launcher touches.
DEMO_PRODUCT='{4F2A7C15-3B9D-0409-A1E6-5C8D2B7F9031}'
DEMO_PATCH_GUID='{B7E3D1A9-52C4-4F8E-9A06-1D3C7E5B2F48}'
DEMO_PRODUCT_DIR="$DEMO_PROGRAM_FILES/Tessaran/Kelvarin 2004"
HOST_KEY='Software\Tessaran\Corvane\R16.0\CORV-203:409'
SERVICE_KEY="HKLM\\Software\\Tessaran\\Kestrune\\$DEMO_PRODUCT"
PENDING_KEY='HKLM\System\CurrentControlSet\Control\Session Manager'

# Stops the current prefix's wineserver and waits for it.
wine_stop_server() {
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w >/dev/null 2>&1 || true
}
