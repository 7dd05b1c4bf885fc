# The report of scripts/try.sh, sourced at its end: what the launcher did, read from Wine's traces, the installer, the registry, the log and the screenshots; the verdict is the exit status.
# Everything here reads the run's own session: the pending deletion is still pending.

unescape() { sed 's/\\"/"/g; s/\\\\/\\/g'; }
# message_boxes TRACE: each box the trace shows, with its text, caption and style.
message_boxes() {
    grep -a 'Call user32.MessageBoxA' "$1" |
        sed 's/.*MessageBoxA([0-9a-f]*,[0-9a-f]* "\(.*\)"\(\.\.\.\)\{0,1\},[0-9a-f]* "\(.*\)",\([0-9a-f]*\)) ret=.*/    "\1"\2 captioned "\3" (style \4)/' || true
}
# screenshots SHOTS: the photographed windows of a run.
screenshots() {
    local caption shot
    while IFS='|' read -r caption shot; do echo "    window \"$caption\": $shot"; done <"$1/boxes.txt"
}
# configure_calls TRACE: each configure call (product code and command line, as far as the trace shows
# it), the properties the installer parsed from it, and its result.
configure_calls() {
    awk '/Call msi\.MsiConfigureProductExA\(/ {
             line = $0; sub(/.*MsiConfigureProductExA\([0-9a-f]* "/, "", line); code = substr(line, 1, index(line, "\"") - 1)
             sub(/^[^"]*",[0-9a-f]*,[0-9a-f]*,[0-9a-f]* "/, "", line); sub(/"?\) ret=.*/, "", line)
             print "    " code ": " line; inside = 1; split("", seen); next }
         inside && /msi_parse_command_line Found commandline property/ {
             line = $0; sub(/.*property L"/, "", line); sub(/" = L"/, "=\"", line)
             if (!(line in seen)) print "        parsed " substr(line, 1, 160); seen[line] = 1 }
         inside && /Ret  msi\.MsiConfigureProductExA\(\)/ {
             line = tolower($0); sub(/.*retval=/, "", line); value = 0
             for (i = 1; i <= 8; i++) value = value * 16 + index("0123456789abcdef", substr(line, i, 1)) - 1
             print "        result " value; inside = 0 }' "$1" |
        unescape
}

trace="$TRY_RUN/relay.log"
echo
echo "== $file on ${#products[@]} product(s)"
echo "launcher:            $TRY_LAUNCHER ($(stat -c %s "$TRY_LAUNCHER") bytes)"
bash "$here/wine-arch.sh" describe "$SPLAUNCH_WINE_ARCH" | sed 's/^/                     /'
echo "definition:          $definition${package:+ (package $package)}"
check=$(grep -a -E ': [0-9]+ errors?, [0-9]+ warnings?' "$build_log" || true)
echo "configuration check: ${check:-unchanged since the last build of $folder}"
echo "plan (/plan):        exit code $plan_rc; the plan as its log has it:"
plan_log="$WINEPREFIX/drive_c/logs/$plan_log_name"
[ ! -f "$plan_log" ] || sed -n 's/^\[[^]]*\]\[[^]]*\] plan /    /p' "$plan_log" | tr -d '\r' |
    awk '{ print (length($0) > 200 ? substr($0, 1, 200) "..." : $0) }'
screenshots "$TRY_RUN/plan"
echo "products found:      $(awk '/Call msi.MsiQueryProductStateA/ { split($0, q, "\""); code = q[2] }
                                   /Ret  msi.MsiQueryProductStateA\(\) retval=0000000[15] / { print code }' "$trace" | tr '\n' ' ')"
echo "installer calls (Wine's trace shows the first 291 characters of a command line):"
configure_calls "$trace"
echo "registry values removed:"
grep -a 'Call advapi32.RegDelete' "$trace" | sed 's/.*\(RegDelete[A-Za-z]*\)([0-9a-f]*,[0-9a-f]* "\(.*\)") ret=.*/    \1 \2/' | unescape || true
package_file=$(grep -a -m1 'Call msi.MsiConfigureProductExA' "$trace" | unescape | sed -n 's/.*PATCH="\([^"]*\)".*/\1/p' || true)
echo "package:             ${package_file:-none written} (in its own protected folder, held read-only until the turn ends)"
echo "pending deletion:    PendingFileRenameOperations = $(wine_reg_value "$PENDING_KEY" PendingFileRenameOperations)"
echo "messages shown:"
message_boxes "$trace"
screenshots "$TRY_RUN/shots"
launcher_log="$WINEPREFIX/drive_c/logs/$log_name"
echo "log (/l):            C:\\logs\\$log_name = $launcher_log"
if [ -f "$launcher_log" ]; then
    echo "    first line:      $(head -n 1 "$launcher_log" | tr -d '\r')"
    echo "    last line:       $(tail -n 1 "$launcher_log" | tr -d '\r')"
fi
for installer_log in "$WINEPREFIX"/drive_c/logs/"${log_name%.log}"_*.log; do
    [ ! -f "$installer_log" ] || echo "    installer's log: $installer_log"
done
echo "exit code:           $TRY_RC (as wine reports it, modulo 256)"
try_report

patched=1
echo "products:"
for i in "${!codes[@]}"; do
    after=$(try_msiq version "${codes[i]}" 2>/dev/null) || after="(not installed)"
    verdict=patched
    if [ "$after" = "${before[i]}" ]; then
        verdict="NOT patched: the version did not move"
    elif [ -n "${targets[i]}" ] && [ "$after" != "${targets[i]}" ]; then
        verdict="NOT patched: not the target version"
    fi
    [ -n "${targets[i]}" ] || verdict+=" (the definition has no product of this code)"
    [[ $verdict == patched* ]] || patched=0
    echo "    ${names[i]} ${codes[i]}: ${before[i]} -> $after (target ${targets[i]:-unknown}): $verdict"
done
try_verdict || patched=0
awk -v f="$file" -v a="$run_start" -v b="$run_end" -v s="$start" -v e="$(date +%s.%N)" \
    'BEGIN { printf "time:                %s %.2f s, whole try %.2f s\n", f, b - a, e - s }'
if [ "$patched" -eq 1 ]; then
    echo "result:              patched"
else
    echo "result:              NOT patched" >&2
    exit 1
fi
