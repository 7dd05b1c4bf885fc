#!/usr/bin/env bash
# When Wine reports Windows 98 the temporary package is left for deletion through wininit.ini, not the delayed move, then deleted at once; the restart carries the list out.
# fixtures: product_7_0_43_5
source "$(dirname "$0")/lib.sh" || exit 1

# Windows 98: an entry in the rename section of wininit.ini instead, and no delayed move.
e2e_new_prefix restart_win98 product-7.0.43.5
wine reg add 'HKCU\Software\Wine' /v Version /d win98 /f >/dev/null 2>&1
e2e_run /q
e2e_expect_eq "$RC" 0 "exit code on Windows 98"
temp=$(e2e_temp_package)
ini="$WINEPREFIX/drive_c/windows/wininit.ini"
[ ! -e "$(e2e_unix_path "$temp")" ] || e2e_fail "the temporary package $temp is still there after the run (Windows 98)"
e2e_expect_eq "$(tr -d '\r' < "$ini" | grep -v '^$' | tr '\n' '|')" "[rename]|NUL=$temp|" "wininit.ini"
e2e_expect_eq "$(e2e_calls | grep -c 'MoveFileExA')" 0 "delayed moves on Windows 98"
e2e_expect_eq "$(wine_reg_value "$PENDING_KEY" PendingFileRenameOperations)" absent "pending operations on Windows 98"
e2e_expect_eq "$(e2e_msiq version "$PRODUCT")" 7.1.0.5 "VersionString on Windows 98"
wine_stop_server
wine reg query 'HKCU\Software\Wine' >/dev/null 2>&1    # starts the next session: the restart
[ ! -e "$ini" ] || e2e_fail "wininit.ini still there after the restart"
