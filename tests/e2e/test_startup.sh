#!/usr/bin/env bash
# The launcher's own process entry: the application object is made before the run, framework exceptions thrown across frames reach their handlers (the unwinder finds every frame), also with the heap used up, and the process ends through exit.
source "$(dirname "$0")/lib.sh" || exit 1
e2e_new_prefix startup
cp "$STARTUP_PROBE_EXE" "$WORK/startup_probe.exe"
marker="$WINEPREFIX/drive_c/exit-marker"

set +e
timeout 30 wine "$WORK/startup_probe.exe" >/dev/null 2>&1
rc=$?
set -e
# 1: no application object; 3: abort (an exception that reached no handler, or found no memory);
# 10 (32-bit only): the first exceptions, thrown with the heap used up; 11: a file exception;
# 12: the memory exception, or another thrown in its handler.
e2e_expect_eq "$rc" 0 "the probe's exit code"
[ -f "$marker" ] || e2e_fail "no marker: the static object was not destroyed at exit"
