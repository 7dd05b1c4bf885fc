#!/usr/bin/env bash
# The launcher's own process entry: the application object is made before the run, framework exceptions thrown across frames reach their handlers (the unwinder finds every frame), also with the heap used up, and the process ends through exit.
source "$(dirname "$0")/lib.sh" || exit 1
e2e_new_prefix startup
cp "$STARTUP_PROBE_EXE" "$WORK/startup_probe.exe"

rc=0
timeout 30 wine "$WORK/startup_probe.exe" >/dev/null 2>&1 || rc=$?
# 1: no application object; 3: abort (an exception that reached no handler, or found no memory);
# 10: the first exceptions (the memory exception, with the heap used up on 32-bit, and another
# thrown in its handler); 11: a file exception across frames.
e2e_expect_eq "$rc" 0 "the probe's exit code"
[ -f "$WINEPREFIX/drive_c/exit-marker" ] || e2e_fail "no marker: the static object was not destroyed at exit"
