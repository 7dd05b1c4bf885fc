# Sourced helpers: a private Xvfb display for Wine, and running a program while photographing and closing its message boxes.
# Needs Xvfb, xdotool and ImageMagick's import and identify. The caller owns WINEPREFIX and its wineserver.

WD_PID=""

# wd_start_display: starts Xvfb on a display of its own and exports DISPLAY once the server
# accepts clients. Xvfb picks the first free display number itself and claims it with its
# lock file (-displayfd), so runs started at the same moment never share a display, as two
# that chose a number by looking for a lock file could. Stop it with wd_stop_display.
wd_start_display() {
    local number_file number deadline=$((SECONDS + 30))
    number_file=$(mktemp) || return 1
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$number_file" >/dev/null 2>&1 &
    WD_PID=$!
    # The number is written, ending with a newline, when the server is ready.
    while [ $SECONDS -lt $deadline ] && kill -0 "$WD_PID" 2>/dev/null; do
        if read -r number < "$number_file" && [[ $number =~ ^[0-9]+$ ]]; then
            rm -f "$number_file"
            export DISPLAY=":$number"
            return 0
        fi
        sleep 0.1
    done
    rm -f "$number_file"
    wd_stop_display
    echo "Xvfb did not start a display" >&2
    return 1
}

wd_stop_display() {
    if [ -n "$WD_PID" ]; then
        kill "$WD_PID" 2>/dev/null || true
        wait "$WD_PID" 2>/dev/null || true
    fi
    WD_PID=""
}

# The ids of the visible windows that have a name, one a line.
wd_windows() {
    timeout 5 xdotool search --onlyvisible --name '.' 2>/dev/null || true
}

# wd_shown ID: true while the window is visible.
wd_shown() {
    wd_windows | grep -qx "$1"
}

# wd_photograph ID FILE: photographs the window once it is drawn: more than two colours (a
# window not drawn yet shows the screen's one or two) and the same picture twice in a row.
# Gives up after 10 s or when the window is gone, leaving the last picture taken.
wd_photograph() {
    local id=$1 file=$2 last="" now deadline=$((SECONDS + 10))
    while [ $SECONDS -lt $deadline ] && wd_shown "$id"; do
        if timeout 10 import -window "$id" "$file" 2>/dev/null; then
            now=$(identify -format '%k %#' "$file" 2>/dev/null) || now=""
            [ "${now%% *}" -gt 2 ] 2>/dev/null && [ "$now" = "$last" ] && return 0
            last=$now
        fi
        sleep 0.1
    done
}

# wd_close ID: presses Return in the window until it is gone; false when it still shows after
# ten tries. The key goes to whichever window holds the keyboard focus, so the window is given
# the focus before each press, and the key is pressed only once it holds it.
wd_close() {
    local id=$1 try wait_until
    for try in 1 2 3 4 5 6 7 8 9 10; do
        wd_shown "$id" || return 0
        if timeout 5 xdotool windowfocus --sync "$id" 2>/dev/null; then
            timeout 5 xdotool key Return 2>/dev/null || true
        fi
        wait_until=$((SECONDS + 3))
        while [ $SECONDS -lt $wait_until ]; do
            wd_shown "$id" || return 0
            sleep 0.1
        done
    done
    return 1
}

# wd_run_with_boxes SHOTDIR TIMEOUT COMMAND...: runs COMMAND in the background; each
# visible window that appears is photographed once drawn (SHOTDIR/box-N.png) and closed with
# the Return key. Writes SHOTDIR/boxes.txt (one "caption|shot" line a window, each window
# once however long it takes to close) and sets WD_RC to the command's exit code (124 when it
# had to be killed after TIMEOUT seconds).
wd_run_with_boxes() {
    local shots=$1 limit=$2 pid id name handled=" " count=0 deadline
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
        id=$(wd_windows | while read -r w; do [[ $handled == *" $w "* ]] || { echo "$w"; break; }; done)
        if [ -z "$id" ]; then
            sleep 0.1
            continue
        fi
        handled+="$id "
        count=$((count + 1))
        name=$(timeout 5 xdotool getwindowname "$id" 2>/dev/null || true)
        wd_photograph "$id" "$shots/box-$count.png"
        echo "$name|$shots/box-$count.png" >> "$shots/boxes.txt"
        # A window that will not close stays counted once; the time limit ends the run.
        wd_close "$id" || true
    done
    set +e
    wait "$pid"
    WD_RC=$?
    set -e
}
