#!/usr/bin/env bash
# Start-up time (until the main window is mapped) and resident memory of the editor, against a
# bare Qt window with a menu bar, both measured the same way on a private Xvfb.
# Usage: [RUNS=7] bench/startup.sh [BUILD_DIR]   (default: build). It reports; it does not judge.
set -euo pipefail
. "$(dirname "$0")/../scripts/xvfb.sh"

build=${1:-build}
editor=$build/pixmint
bare=$build/bench/bare-window
runs=${RUNS:-7}
timeout_s=10

for p in "$editor" "$bare"; do
    if [ ! -x "$p" ]; then
        echo "startup: $p is missing; build first (cmake --build $build)" >&2
        exit 2
    fi
done
require_tools startup Xvfb xdotool xdpyinfo xev

xev_pid=""
app_pid=""
use_scratch app_pid xev_pid

# One run; sets elapsed_ms (start to the map of its first top-level window) and rss_kb. The map
# is read from the xev stream as it happens, so no polling interval blurs the figure. Not in a
# subshell, so that the exit trap knows the program's pid.
measure() {
    local program=$1 pattern=$2 line start end deadline mapped=""
    # Forget what the previous run left in the stream (its unmap and destroy).
    while read -r -t 0.05 -u 3 line; do :; done
    start=${EPOCHREALTIME//[.,]/}
    "$program" >"$work/app.log" 2>&1 &
    app_pid=$!
    deadline=$((start + timeout_s * 1000000))
    while [ -z "$mapped" ]; do
        if read -r -t 0.1 -u 3 line; then
            end=${EPOCHREALTIME//[.,]/}
            [[ $line == MapNotify* ]] && mapped=yes
            continue
        fi
        if ! kill -0 "$app_pid" 2>/dev/null; then
            echo "startup: $program exited before showing a window; its output:" >&2
            cat "$work/app.log" >&2
            exit 1
        fi
        if [ "${EPOCHREALTIME//[.,]/}" -ge "$deadline" ]; then
            echo "startup: $program mapped no window within ${timeout_s} s" >&2
            exit 1
        fi
    done
    elapsed_ms=$(((end - start) / 1000))
    # The window mapped must be the program's main window.
    until xdotool search --onlyvisible --name "$pattern" >/dev/null 2>&1; do
        if [ "${EPOCHREALTIME//[.,]/}" -ge "$deadline" ]; then
            echo "startup: no visible window named /$pattern/ from $program within ${timeout_s} s" >&2
            exit 1
        fi
        sleep 0.01
    done
    # Let it settle (first paint, deferred work) before reading its memory.
    sleep 0.5
    rss_kb=$(awk '/^VmRSS:/ {print $2}' "/proc/$app_pid/status")
    kill "$app_pid"
    wait "$app_pid" 2>/dev/null || true
    app_pid=""
}

median() { sort -n | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }

start_xvfb
export QT_QPA_PLATFORM=xcb
# Every map of a top-level window, as the server reports it.
mkfifo "$work/maps"
xev -root -event substructure >"$work/maps" 2>/dev/null &
xev_pid=$!
exec 3<"$work/maps"
echo "startup: display $DISPLAY, $runs alternating runs each (plus one discarded warm-up)"

# The caption changes from "Orvel Pixmint 2.1.0" to "Pixmint 2.1.0" at the first resize.
editor_pattern='Pixmint 2\.1\.0$'
bare_pattern='^Bare Window$'

measure "$bare" "$bare_pattern"
measure "$editor" "$editor_pattern"
: >"$work/bare"
: >"$work/editor"
for i in $(seq 1 "$runs"); do
    measure "$bare" "$bare_pattern"
    echo "$elapsed_ms $rss_kb" >>"$work/bare"
    line="  run $i: bare-window $elapsed_ms ms $rss_kb kB"
    measure "$editor" "$editor_pattern"
    echo "$elapsed_ms $rss_kb" >>"$work/editor"
    echo "$line, pixmint $elapsed_ms ms $rss_kb kB"
done

bare_ms=$(cut -d' ' -f1 "$work/bare" | median)
bare_kb=$(cut -d' ' -f2 "$work/bare" | median)
editor_ms=$(cut -d' ' -f1 "$work/editor" | median)
editor_kb=$(cut -d' ' -f2 "$work/editor" | median)

echo "median bare-window: ${bare_ms} ms to mapped, VmRSS ${bare_kb} kB"
echo "median pixmint:     ${editor_ms} ms to mapped, VmRSS ${editor_kb} kB"
awk -v em="$editor_ms" -v bm="$bare_ms" -v ek="$editor_kb" -v bk="$bare_kb" 'BEGIN {
    printf "start-up ratio pixmint/bare: %.2f (target <= 1.10)\n", em / bm
    printf "RSS ratio pixmint/bare:      %.2f (target <= 1.20)\n", ek / bk
}'
