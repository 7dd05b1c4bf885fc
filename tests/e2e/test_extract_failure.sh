#!/usr/bin/env bash
# /e into a missing folder fails with 107: a box without /q, silence with /q.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
e2e_new_prefix extract_failure

e2e_run /q /e 'C:\no such folder\x.msp'
e2e_expect_eq "$RC" 107 "exit code with /q"
e2e_expect_eq "$(e2e_message_boxes)" "" "message boxes with /q"

e2e_run /e 'C:\no such folder\x.msp'
e2e_expect_eq "$RC" 107 "exit code without /q"
e2e_expect_eq "$(e2e_message_boxes)" "Error 107: The  update was not applied||00050030" "message box"
echo "PASS"
