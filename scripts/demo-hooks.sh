# The demo's own set-up and report for scripts/try.sh (--hooks): Kelvarin 2004 installed with one feature advertised and the group STD_JIS absent, the host application's registry values, and what the patch did to those features, a file of the product and those values.
# make demo: scripts/try.sh --hooks scripts/demo-hooks.sh --package <build>/demo-patch/kelvarin-sp1.msp <build> res/splaunch.toml <build>/demo-patch/kelvarin.msi

DEMO_FEATURES=(HM_SYSTEM_0004 STD_JIS HM_STD_JIS_0010)
DEMO_FILE="$DEMO_PRODUCT_DIR/p.txt"
demo_features() { try_msiq features "$DEMO_PRODUCT" "${DEMO_FEATURES[@]}" | tr '\n' ' '; }
demo_file() { tr -d '\r' <"$WINEPREFIX/drive_c/$DEMO_FILE"; }

# All features local but one advertised and one group absent, so that restoration shows.
try_install_properties() {
    [ "$1" != "$DEMO_PRODUCT" ] || echo "ADVERTISE=HM_SYSTEM_0004 REMOVE=STD_JIS"
}

try_prepare() {
    wine_add_demo_host_settings
    demo_features_before=$(demo_features)
    demo_file_before=$(demo_file)
}

try_report() {
    local profiles="HKCU\\$HOST_KEY\\Profiles" reinstalled
    demo_file_after=$(demo_file)
    echo "== the demo's own"
    echo "p.txt:               \"$demo_file_before\" -> \"$demo_file_after\""
    reinstalled=$(awk '/Call msi.MsiConfigureProductExA/ { n++ } n == 1' "$TRY_RUN/relay.log" |
                  grep -a -c 'MSI_SetFeatureStates examining feature.*installed 3 request 3 action 3' || true)
    echo "features reinstalled: $reinstalled (the installer's count of local features it reinstalled)"
    echo "feature states:      before: $demo_features_before"
    echo "                     after:  $(demo_features)"
    echo "host settings now:   service key $(wine reg query "$SERVICE_KEY" >/dev/null 2>&1 && echo present || echo absent)," \
         "Today_WorkMode (Drafting) $(wine_reg_value "$profiles\\Drafting\\General Configuration" Today_WorkMode)," \
         "Today_WorkMode (<<Unnamed Profile>>) $(wine_reg_value "$profiles\\<<Unnamed Profile>>\\General Configuration" Today_WorkMode)"
    # Two builds of one source are the same bytes: the try ran the shipped launcher itself.
    if cmp -s "$TRY_LAUNCHER" "$TRY_WINE_BUILD/splaunch.exe"; then
        echo "the same bytes as:   $TRY_WINE_BUILD/splaunch.exe"
    else
        echo "not the same bytes as $TRY_WINE_BUILD/splaunch.exe (built from another source or at another time)"
    fi
}

# The demo also expects a run without failure and the replaced file's new content.
try_verdict() {
    [ "$TRY_RC" -eq 0 ] && [ "$demo_file_after" = "version 7.1.0.5" ]
}
