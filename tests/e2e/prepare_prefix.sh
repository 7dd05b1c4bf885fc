#!/usr/bin/env bash
# Prepares the template Wine prefix that every end-to-end scenario copies.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
e2e_prepare_template
