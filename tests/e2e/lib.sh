# Shared helpers of the end-to-end scenarios: Wine prefixes, runs, relay traces.
# Needs SPLAUNCH_EXE and E2E_DIR from the test's environment.

export WINEARCH=win32
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
unset DISPLAY

E2E_TEMPLATE="$E2E_DIR/template"
# Functions the relay trace shows; everything else stays quiet.
E2E_RELAY="MessageBoxA;MsiQueryProductStateA;MsiGetProductInfoA;MsiQueryFeatureStateA;MsiConfigureProductExA;MsiSetInternalUI;MoveFileExA;RegOpenKeyExA;RegDeleteKeyA;RegDeleteValueA;SetThreadLocale"

e2e_fail() { echo "FAIL: $*" >&2; exit 1; }

# Stops the wineserver of the current prefix and waits for it.
e2e_stop_server() {
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w >/dev/null 2>&1 || true
}

# Makes the template prefix once: a booted win32 prefix with crash dialogs off and
# the relay trace narrowed to the launcher's own calls.
e2e_prepare_template() {
    mkdir -p "$E2E_DIR"
    if [ -f "$E2E_TEMPLATE/.ready" ]; then return 0; fi
    rm -rf "$E2E_TEMPLATE"
    export WINEPREFIX="$E2E_TEMPLATE/prefix" HOME="$E2E_TEMPLATE/home"
    mkdir -p "$HOME"
    wineboot -i >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\Debug' /v RelayInclude /t REG_SZ /d "$E2E_RELAY" /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
    if [ -n "${E2E_TEMPLATE_HOOK:-}" ]; then "$E2E_TEMPLATE_HOOK"; fi
    e2e_stop_server
    touch "$E2E_TEMPLATE/.ready"
}

# Gives the scenario its own copy of the template; sets WINEPREFIX, HOME and WORK.
e2e_new_prefix() {
    local name="$1"
    WORK="$E2E_DIR/$name"
    rm -rf "$WORK"
    mkdir -p "$WORK/home"
    cp -a "$E2E_TEMPLATE/prefix" "$WORK/prefix"
    export WINEPREFIX="$WORK/prefix" HOME="$WORK/home"
    cp "$SPLAUNCH_EXE" "$WORK/splaunch.exe"
    trap 'e2e_stop_server' EXIT
}

# Runs splaunch.exe with the given arguments under the relay trace; sets RC (the
# exit code modulo 256, as wine reports it) and leaves the trace in $WORK/relay.log.
e2e_run() {
    set +e
    (cd "$WORK" && WINEDEBUG=+relay wine "$WORK/splaunch.exe" "$@" 2>"$WORK/relay.log" >/dev/null)
    RC=$?
    set -e
}

# The message boxes of the last run, one line each: text|caption|style.
e2e_message_boxes() {
    sed -n 's/.*Call user32\.MessageBoxA([0-9a-f]*,[0-9a-f]* "\(.*\)",[0-9a-f]* "\(.*\)",\([0-9a-f]*\)).*/\1|\2|\3/p' \
        "$WORK/relay.log"
}

# The command lines the installer's configure call received, one line each.
e2e_configure_calls() {
    sed -n 's/.*Call msi\.MsiConfigureProductExA([0-9a-f]* "\([^"]*\)",[0-9a-f]*,[0-9a-f]*,[0-9a-f]* "\(.*\)") ret=.*/\1 \2/p' \
        "$WORK/relay.log"
}

e2e_expect_eq() {
    [ "$1" = "$2" ] || e2e_fail "$3: expected [$2], got [$1]"
}
