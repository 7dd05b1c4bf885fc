#!/usr/bin/env bash
# The update service key and both Today_WorkMode values go with the patch; other values stay; without a current profile name both values stay.
# fixtures: product_7_0_43_5
set -euo pipefail
source "$(dirname "$0")/lib.sh"
profiles="HKCU\\$HOST_KEY\\Profiles"
current="$profiles\\$PROFILE\\General Configuration"
unnamed="$profiles\\<<Unnamed Profile>>\\General Configuration"

e2e_new_prefix host_settings product-7.0.43.5
e2e_run /q
e2e_expect_eq "$RC" 0 "exit code"
e2e_expect_eq "$(e2e_message_boxes)" "" "message boxes of a successful run with /q"
e2e_expect_eq "$(e2e_msiq version "$PRODUCT")" 7.1.0.5 "VersionString"
e2e_expect_eq "$(e2e_reg_key "$SERVICE_KEY")" absent "update service key"
e2e_expect_eq "$(e2e_reg_key 'HKLM\Software\Tessaran\Kestrune')" present "the update service's parent key"
e2e_expect_eq "$(e2e_reg_value "$current" Today_WorkMode)" absent "Today_WorkMode of the current profile"
e2e_expect_eq "$(e2e_reg_value "$unnamed" Today_WorkMode)" absent "Today_WorkMode of the unnamed profile"
e2e_expect_eq "$(e2e_reg_value "$current" Units)" metric "another value of the current profile"
e2e_expect_eq "$(e2e_reg_value "$unnamed" Units)" metric "another value of the unnamed profile"
e2e_expect_eq "$(e2e_reg_value "HKLM\\$HOST_KEY" StandaloneNetworkType)" 0x0 "StandaloneNetworkType"
# The settings are gone before the installer is called.
order=$(e2e_calls | grep -o 'RegDeleteKeyA\|RegDeleteValueA\|MsiConfigureProductExA' | tr '\n' ' ')
e2e_expect_eq "$order" "RegDeleteKeyA RegDeleteValueA RegDeleteValueA MsiConfigureProductExA " "order of the changes"
e2e_stop_server

# The profiles key without its default value: no profile is known, both values stay.
e2e_new_prefix host_settings_no_profile product-7.0.43.5
wine reg delete "$profiles" /ve /f >/dev/null 2>&1 || e2e_fail "could not remove the profile name"
e2e_run /q
e2e_expect_eq "$RC" 0 "exit code without a profile name"
e2e_expect_eq "$(e2e_msiq version "$PRODUCT")" 7.1.0.5 "VersionString without a profile name"
e2e_expect_eq "$(e2e_reg_key "$SERVICE_KEY")" absent "update service key without a profile name"
e2e_expect_eq "$(e2e_reg_value "$current" Today_WorkMode)" 0x1 "Today_WorkMode of the current profile, no profile name"
e2e_expect_eq "$(e2e_reg_value "$unnamed" Today_WorkMode)" 0x1 "Today_WorkMode of the unnamed profile, no profile name"
echo "PASS"
