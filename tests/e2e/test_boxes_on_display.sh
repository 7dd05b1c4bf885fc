#!/usr/bin/env bash
# Real message boxes on a private Xvfb display, each drawn, photographed and closed with Return: the usage box of /?, the plan of /plan (which changes nothing), the success box.
# fixtures: product_7_0_43_5
source "$(dirname "$0")/lib.sh" || exit 1
source "$SPLAUNCH_SOURCE_DIR/scripts/wine-display.sh"
command -v Xvfb >/dev/null && command -v xdotool >/dev/null && command -v import >/dev/null \
    || e2e_fail "Xvfb, xdotool and ImageMagick are needed"

# The display comes first: a Wine session keeps the display it started with.
wd_start_display || e2e_fail "no X display"
e2e_new_prefix boxes_on_display product-7.0.43.5
trap 'e2e_finish; wd_stop_display' EXIT

# run_shown NAME [ARGS...]: splaunch.exe without /q, boxes photographed into $WORK/NAME; it ends with 0,
# and its first box is a real picture of a box-sized window.
run_shown() {
    local name=$1 shot="$WORK/$1/box-1.png" size w h
    shift
    wd_run_with_boxes "$WORK/$name" 60 bash -c 'cd "$0" && WINEDEBUG=+relay exec wine splaunch.exe "$@" 2> relay.log' \
        "$WORK" "$@"
    e2e_expect_eq "$WD_RC" 0 "exit code of $name (124: still running after 60 s)"
    size=$(identify -format '%w %h' "$shot" 2>/dev/null) || e2e_fail "no screenshot $shot"
    read -r w h <<< "$size"
    [ "$w" -ge 100 ] && [ "$w" -le 1024 ] && [ "$h" -ge 50 ] && [ "$h" -le 768 ] || e2e_fail "screenshot $shot is ${w}x$h"
    # A drawn box holds more than one colour.
    [ "$(convert "$shot" -format '%k' info:)" -gt 2 ] || e2e_fail "screenshot $shot is blank"
}

# /?: the usage box, and nothing else happens.
run_shown usage /?
e2e_message_boxes | grep -q '^splaunch.exe \[/q | /qn\]' || e2e_fail "the usage box shows [$(e2e_message_boxes)]"

# /plan: one box that lists the product and the features it would reinstall; nothing changes.
run_shown plan /plan
e2e_message_boxes | grep -qF "$PRODUCT, version 7.0.43.5, would be patched.\r\nReinstalled: HM_CORECOMMON_0001, HM_CORECOMMON_0002," \
    || e2e_fail "the plan box shows [$(e2e_message_boxes)]"
e2e_expect_eq "$(e2e_msiq version "$PRODUCT")" 7.0.43.5 "VersionString after /plan"

# The patch: one success box; the run waits for it and ends with 0.
run_shown patch
e2e_expect_eq "$(cut -d'|' -f1 "$WORK/patch/boxes.txt")" "Kelvarin 2004" "boxes of the patch run"

echo "screenshots: $WORK/usage/box-1.png $WORK/plan/box-1.png $WORK/patch/box-1.png"
