# Sourced helpers: a private Xvfb display for Wine, and running a program while photographing and closing its message boxes.
# Needs Xvfb, xdotool and ImageMagick's import. The caller owns WINEPREFIX and its wineserver.

WD_PID=""

# wd_start_display FIRST: starts Xvfb on the first free display number from FIRST and
# exports DISPLAY; fails after 30 tries. Stop it with wd_stop_display.
wd_start_display() {
    local n
    for n in $(seq "$1" $(($1 + 29))); do
        [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
        Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
        WD_PID=$!
        local deadline=$((SECONDS + 10))
        while [ $SECONDS -lt $deadline ] && kill -0 "$WD_PID" 2>/dev/null; do
            if DISPLAY=":$n" timeout 2 xdotool getdisplaygeometry >/dev/null 2>&1; then
                export DISPLAY=":$n"
                return 0
            fi
            sleep 0.1
        done
        kill "$WD_PID" 2>/dev/null || true
        wait "$WD_PID" 2>/dev/null || true
        WD_PID=""
    done
    echo "no free X display from :$1" >&2
    return 1
}

wd_stop_display() {
    if [ -n "$WD_PID" ]; then
        kill "$WD_PID" 2>/dev/null || true
        wait "$WD_PID" 2>/dev/null || true
    fi
    WD_PID=""
}

# wd_run_with_boxes SHOTDIR TIMEOUT COMMAND...: runs COMMAND in the background; each
# visible window that appears is photographed (SHOTDIR/box-N.png) and closed with the
# Return key. Writes SHOTDIR/boxes.txt (one "caption|shot" line a box) and sets WD_RC to
# the command's exit code (124 when it had to be killed after TIMEOUT seconds).
wd_run_with_boxes() {
    local shots=$1 limit=$2 pid id name count=0 deadline
    shift 2
    mkdir -p "$shots"
    : > "$shots/boxes.txt"
    "$@" &
    pid=$!
    deadline=$((SECONDS + limit))
    while kill -0 "$pid" 2>/dev/null; do
        if [ $SECONDS -ge $deadline ]; then
            kill "$pid" 2>/dev/null || true
            wait "$pid" 2>/dev/null || true
            WD_RC=124
            return 0
        fi
        id=$(timeout 5 xdotool search --onlyvisible --name '.' 2>/dev/null | head -n 1 || true)
        if [ -z "$id" ]; then
            sleep 0.1
            continue
        fi
        count=$((count + 1))
        sleep 0.3    # let Wine finish drawing the box
        name=$(timeout 5 xdotool getwindowname "$id" 2>/dev/null || true)
        timeout 10 import -window "$id" "$shots/box-$count.png" 2>/dev/null || true
        echo "$name|$shots/box-$count.png" >> "$shots/boxes.txt"
        timeout 5 xdotool key Return 2>/dev/null || true
        # Wait until the box is gone before looking for the next one.
        local gone=$((SECONDS + 10))
        while [ $SECONDS -lt $gone ] && timeout 5 xdotool search --onlyvisible --name '.' 2>/dev/null | grep -qx "$id"; do
            sleep 0.1
        done
    done
    set +e
    wait "$pid"
    WD_RC=$?
    set -e
}
