#!/usr/bin/env bash
# Prepares a template prefix with the demo product installed at the given version and the host settings.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
e2e_prepare_product "$1"
