# Shared helpers of the end-to-end scenarios: shell options, Wine prefixes, the demo product, runs, relay traces.
# Needs SPLAUNCH_EXE, DEMO_DIR and E2E_DIR from the test's environment (tests/e2e/CMakeLists.txt).
set -eEuo pipefail    # a scenario ends at its first failing command

source "$SPLAUNCH_SOURCE_DIR/scripts/wine-env.sh"
unset DISPLAY

DEMO_TOOLS=$(wine_arch_dir "$DEMO_DIR")    # the query tool and the patch builder Wine runs here
# Functions the relay trace shows; everything else stays quiet.
E2E_RELAY="MessageBoxA;MsiQueryProductStateA;MsiGetProductInfoA;MsiQueryFeatureStateA;MsiConfigureProductExA;MsiSetInternalUI;MsiEnumPatchesA;MoveFileExA;RegOpenKeyExA;RegDeleteKeyA;RegDeleteValueA;SetThreadLocale;LoadLibraryExA;ExitWindowsEx;AdjustTokenPrivileges;OpenMutexA"

PRODUCT=$DEMO_PRODUCT

e2e_fail() { echo "FAIL: $*" >&2; exit 1; }
# A command that fails under set -e names itself instead of ending the scenario silently.
trap '[[ $- != *e* ]] || echo "FAIL: ${BASH_SOURCE[0]##*/}:$LINENO: $BASH_COMMAND (status $?)" >&2' ERR

e2e_expect_eq() { [ "$1" = "$2" ] || e2e_fail "$3: expected [$2], got [$1]"; }

# e2e_new_prefix NAME [TEMPLATE [LAUNCHER]]: the scenario's own copy of a template (default: the
# booted one; "product-7.0.43.5" for the installed product) with its own wineserver, kept up until
# the scenario ends or makes its next prefix, so that no restart happens in between. Sets WORK,
# with LAUNCHER (default: the shipped one) as $WORK/splaunch.exe.
e2e_new_prefix() {
    [ ${#E2E_PREFIXES[@]} -eq 0 ] || wine_stop_server
    WORK="$E2E_DIR/$1"
    rm -rf "$WORK" && mkdir -p "$WORK/home" "$WORK/tmp"
    cp -a "$E2E_DIR/${2:-template}/prefix" "$WORK/prefix"
    # Wine keeps its server folders (wine-XXXXXX) in TMPDIR: inside the scenario's folder.
    export WINEPREFIX="$WORK/prefix" HOME="$WORK/home" TMPDIR="$WORK/tmp"
    cp "${3:-$SPLAUNCH_EXE}" "$WORK/splaunch.exe"
    E2E_PREFIXES+=("$WINEPREFIX")
    wineserver -p
}

# e2e_build FOLDER TARGET [CMAKE OPTIONS...]: configures a target build of the source in FOLDER, lent
# this build's configuration tools, and builds TARGET; sets RC, keeps the output in FOLDER.log.
e2e_build() {
    local folder=$1 target=$2
    shift 2
    RC=0
    (cd "$SPLAUNCH_SOURCE_DIR" && cmake --preset target -B "$folder" \
        -DSPLAUNCH_CONFIGURATION_TOOLS="$SPLAUNCH_TOOLS_DIR" "$@" && cmake --build "$folder" -j2 --target "$target") \
        >"$folder.log" 2>&1 || RC=$?
}

# At the end of a scenario: its Wine server stops; a passed scenario's prefix copies (about
# 590 MB each) go, and it says PASS; a failed one's stay for a look.
E2E_PREFIXES=()
e2e_finish() {
    local rc=$? prefix
    [ ${#E2E_PREFIXES[@]} -eq 0 ] || wine_stop_server
    if [ "$rc" -eq 0 ]; then
        for prefix in "${E2E_PREFIXES[@]}"; do rm -rf "$prefix"; done
        echo PASS
    fi
}
trap e2e_finish EXIT

# e2e_run [ARGS...]: runs $WORK/splaunch.exe under the relay trace; sets RC (the exit
# code modulo 256, as wine reports it) and leaves the trace in $WORK/relay.log.
# E2E_CHANNELS adds debug channels (e.g. "+msi").
e2e_run() {
    RC=0
    (cd "$WORK" && WINEDEBUG="+relay${E2E_CHANNELS:+,$E2E_CHANNELS}" timeout 90 wine "$WORK/splaunch.exe" "$@" \
        2>"$WORK/relay.log" >/dev/null) || RC=$?
    [ "$RC" -ne 124 ] || e2e_fail "splaunch.exe $* did not end within 90 s"
}

# The launcher's own calls of the last run (thread of the first process only).
e2e_calls() {
    local tid
    tid=$(grep -a -m1 '^[0-9a-f]*:Call KERNEL32.LoadLibraryExA([0-9a-f]* "C:\\\\windows\\\\system32\\\\msi.dll"' \
          "$WORK/relay.log" | cut -d: -f1 || true)
    grep -a "^${tid:-none}:Call " "$WORK/relay.log" || true
}

# The message boxes of the last run, one line each: text|caption|style (a text the trace
# cut after 291 characters ends with "...").
e2e_message_boxes() {
    sed -n 's/.*Call user32\.MessageBoxA([0-9a-f]*,[0-9a-f]* "\(.*\)"\(\.\.\.\)\{0,1\},[0-9a-f]* "\(.*\)",\([0-9a-f]*\)).*/\1\2|\3|\4/p' \
        "$WORK/relay.log"
}

# The configure calls of the last run, one line each: product code, a blank, the command
# line as the trace shows it (unescaped; the trace cuts it after 291 characters and then
# ends it with "...).
e2e_configure_calls() {
    e2e_calls | sed -n 's/.*Call msi\.MsiConfigureProductExA([0-9a-f]* "\([^"]*\)",[0-9a-f]*,[0-9a-f]*,[0-9a-f]* "\(.*\)) ret=.*/\1 \2/p' \
        | sed 's/"$//; s/\\"/"/g; s/\\\\/\\/g'
}

# The patch command line's temporary package, as the configure call named it.
e2e_temp_package() { e2e_configure_calls | sed -n '1s/^[^ ]* PATCH="\([^"]*\)".*/\1/p'; }

# The demo build's query tool in the scenario's prefix; a file of the installed product, as text.
e2e_msiq() { wine "$DEMO_TOOLS/msiq.exe" "$@" | tr -d '\r'; }
e2e_product_file() { tr -d '\r' < "$WINEPREFIX/drive_c/$DEMO_PRODUCT_DIR/$1"; }

# e2e_reg_key KEY: "present" or "absent". e2e_unix_path PATH: a Windows path in the prefix,
# letter case resolved as Wine resolves it.
e2e_reg_key() { if wine reg query "$1" >/dev/null 2>&1; then echo present; else echo absent; fi; }
e2e_unix_path() { winepath -u "$1" 2>/dev/null | tr -d '\r'; }

# e2e_expect_box_unless QUIET BOX: the run showed exactly BOX ("text|caption|style"),
# or no box at all when QUIET is /q.
e2e_expect_box_unless() {
    local box=$2
    [ -z "$1" ] || box=""
    e2e_expect_eq "$(e2e_message_boxes)" "$box" "message boxes${1:+ with $1}"
}
