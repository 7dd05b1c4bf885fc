#!/usr/bin/env bash
# What a deployment meets: a second run on a patched product (up to date, exit 0), another installation holding the installer (waited for; not with /wait 0).
# fixtures: product_7_0_43_5
source "$(dirname "$0")/lib.sh" || exit 1

# The second run finds the patch among the product's applied patches: one information box, no installer call, 0.
e2e_new_prefix rerun product-7.0.43.5
e2e_run /q
e2e_expect_eq "$RC" 0 "exit code of the first run"
for quiet in "" /q; do
    e2e_run $quiet
    e2e_expect_eq "$RC" 0 "exit code of a second run ${quiet:-without /q}"
    e2e_expect_box_unless "$quiet" "The installed product is up to date.|Kelvarin 2004|00050040"
    e2e_expect_eq "$(e2e_configure_calls | wc -l)" 0 "configure calls of a second run"
    e2e_calls | grep -qF "Call msi.MsiEnumPatchesA(" || e2e_fail "the applied patches were not asked for"
done

# run_while_busy NAME SECONDS ARGS...: the launcher started while another installation holds
# the installer's mutex for SECONDS; its log is $WORK/NAME.log, the holder's marker $WORK/NAME.marker.
run_while_busy() {
    local name=$1 seconds=$2 holder
    shift 2
    e2e_new_prefix "$name" product-7.0.43.5
    cp "$HOLD_MUTEX_EXE" "$WORK/hold_mutex.exe"
    (cd "$WORK" && exec wine hold_mutex.exe 'Global\_MSIExecute' "$seconds" "$name.marker") &
    holder=$!
    timeout 30 bash -c 'until [ "$(cat "$0" 2>/dev/null)" = held ]; do sleep 0.1; done' "$WORK/$name.marker" \
        || e2e_fail "the holder never took the mutex"
    e2e_run /q /l "$name.log" "$@"
    HOLDER_AFTER_RUN=$(cat "$WORK/$name.marker")
    wait "$holder" || e2e_fail "the holder failed"
    e2e_expect_eq "$RC" 0 "exit code ($name)"
    e2e_expect_eq "$(e2e_msiq version "$PRODUCT")" 7.1.0.5 "VersionString ($name)"
    BUSY_LOG=$(tr -d '\r' < "$WORK/$name.log")
}

# Waited for: the patch call comes after the other installation let go.
run_while_busy busy 4
e2e_expect_eq "$HOLDER_AFTER_RUN" released "the holder when the launcher ended"
echo "$BUSY_LOG" | grep -A2 -F "another installation is running: waiting for it for at most 600 seconds" \
    | grep -q "the other installation ended after" || e2e_fail "the wait is not in the log: $BUSY_LOG"
echo "$BUSY_LOG" | sed -n '/the other installation ended after/,$p' | grep -qF "patch configuring $PRODUCT" \
    || e2e_fail "the patch call does not follow the wait"
e2e_calls | grep -qF 'Call KERNEL32.OpenMutexA(00100000,00000000,' || e2e_fail "the mutex was not looked for"

# /wait 0: no waiting; the installer decides (Wine's own takes no such mutex and patches).
run_while_busy busy_nowait 4 /wait 0
e2e_expect_eq "$HOLDER_AFTER_RUN" held "the holder when the launcher ended with /wait 0"
if echo "$BUSY_LOG" | grep -qF "waiting for it"; then e2e_fail "/wait 0 waited: $BUSY_LOG"; fi
