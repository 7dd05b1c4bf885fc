#!/usr/bin/env bash
# Without a current profile name no Today_WorkMode value is removed, but the update service key still is.
# fixtures: product_7_0_43_5
set -euo pipefail
source "$(dirname "$0")/lib.sh"
profiles="HKCU\\$HOST_KEY\\Profiles"

e2e_new_prefix host_settings_no_profile product-7.0.43.5
wine reg delete "$profiles" /ve /f >/dev/null 2>&1 || e2e_fail "could not remove the profile name"
e2e_run /q
e2e_expect_eq "$RC" 0 "exit code"
e2e_expect_eq "$(e2e_msiq version "$PRODUCT")" 7.1.0.5 "VersionString"
e2e_expect_eq "$(e2e_reg_key "$SERVICE_KEY")" absent "update service key"
for p in "$PROFILE" '<<Unnamed Profile>>'; do
    e2e_expect_eq "$(e2e_reg_value "$profiles\\$p\\General Configuration" Today_WorkMode)" 0x1 "Today_WorkMode of $p"
done
echo "PASS"
