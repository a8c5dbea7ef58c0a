#!/usr/bin/env bash
# Start-up of the editor against a bare Qt window with a menu bar, both measured the same way on
# a private Xvfb, alternately: the time from exec until the main window is mapped, from the map
# until the program first draws into it (its first paint), the processor time of the first 2 s
# and the resident memory at 2 s, with the editor's ratios to the bare window.
# Usage: [RUNS=15] bench/startup.sh [BUILD_DIR]   (default: build). It reports; it does not judge.
set -euo pipefail
. "$(dirname "$0")/../scripts/xvfb.sh"

build=${1:-build}
editor=$build/pixmint
bare=$build/bench/bare-window
watch=$build/bench/paint-watch
runs=${RUNS:-15}
timeout_s=10
settle_us=2000000

for p in "$editor" "$bare" "$watch"; do
    if [ ! -x "$p" ]; then
        echo "startup: $p is missing; build first (cmake --build $build)" >&2
        exit 2
    fi
done
require_tools startup Xvfb xdotool xdpyinfo

watch_pid=""
app_pid=""
use_scratch app_pid watch_pid

# Processor time of every thread of the process so far, in microseconds.
cpu_us() {
    local sum=0 ns rest f
    for f in /proc/"$1"/task/*/schedstat; do
        read -r ns rest <"$f" || continue
        sum=$((sum + ns))
    done
    echo $((sum / 1000))
}

# One run; sets map_ms (exec to the map of its first top-level window), paint_ms (that map to
# the first drawing into the window), cpu_ms (processor time of the first 2 s) and rss_kb (at
# 2 s). The map and the paint are read from the watcher as they happen, so no polling interval
# blurs them. Not in a subshell, so that the exit trap knows the program's pid.
measure() {
    local program=$1 pattern=$2 line start deadline what id at window="" mapped="" painted=""
    # Forget what the previous run left in the stream.
    while read -r -t 0.05 -u 3 line; do :; done
    start=${EPOCHREALTIME//[.,]/}
    "$program" >"$work/app.log" 2>&1 &
    app_pid=$!
    deadline=$((start + timeout_s * 1000000))
    while [ -z "$painted" ]; do
        if read -r -t 0.1 -u 3 what id at; then
            if [ "$what" = map ] && [ -z "$window" ]; then
                window=$id
                mapped=$at
            elif [ "$what" = paint ] && [ "$id" = "$window" ]; then
                painted=$at
            fi
            continue
        fi
        if ! kill -0 "$app_pid" 2>/dev/null; then
            echo "startup: $program exited before showing a window; its output:" >&2
            cat "$work/app.log" >&2
            exit 1
        fi
        if [ "${EPOCHREALTIME//[.,]/}" -ge "$deadline" ]; then
            echo "startup: $program mapped or drew no window within ${timeout_s} s" >&2
            exit 1
        fi
    done
    map_ms=$(awk -v a="$start" -v b="$mapped" 'BEGIN {printf "%.1f", (b - a) / 1000}')
    paint_ms=$(awk -v a="$mapped" -v b="$painted" 'BEGIN {printf "%.1f", (b - a) / 1000}')
    # The window mapped must be the program's main window.
    until xdotool search --onlyvisible --name "$pattern" >/dev/null 2>&1; do
        if [ "${EPOCHREALTIME//[.,]/}" -ge "$deadline" ]; then
            echo "startup: no visible window named /$pattern/ from $program within ${timeout_s} s" >&2
            exit 1
        fi
        sleep 0.01
    done
    # The deferred work after the first frame is counted: the figures are taken at 2 s.
    while [ $((${EPOCHREALTIME//[.,]/} - start)) -lt "$settle_us" ]; do sleep 0.02; done
    cpu_ms=$(($(cpu_us "$app_pid") / 1000))
    rss_kb=$(awk '/^VmRSS:/ {print $2}' "/proc/$app_pid/status")
    kill "$app_pid"
    wait "$app_pid" 2>/dev/null || true
    app_pid=""
}

median() { sort -n | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }
column() { cut -d' ' -f"$1" "$work/$2" | median; }

start_xvfb
export QT_QPA_PLATFORM=xcb
mkfifo "$work/events"
"$watch" >"$work/events" &
watch_pid=$!
exec 3<"$work/events"
echo "startup: display $DISPLAY, $runs alternating runs each (plus one discarded warm-up)," \
    "load $(cut -d' ' -f1-3 /proc/loadavg)"

# The caption changes from "Orvel Pixmint 2.1.0" to "Pixmint 2.1.0" at the first resize.
editor_pattern='Pixmint 2\.1\.0$'
bare_pattern='^Bare Window$'

measure "$bare" "$bare_pattern"
measure "$editor" "$editor_pattern"
: >"$work/bare"
: >"$work/editor"
for i in $(seq 1 "$runs"); do
    measure "$bare" "$bare_pattern"
    echo "$map_ms $paint_ms $cpu_ms $rss_kb" >>"$work/bare"
    line="  run $i: bare-window $map_ms + $paint_ms ms, $cpu_ms ms CPU, $rss_kb kB"
    measure "$editor" "$editor_pattern"
    echo "$map_ms $paint_ms $cpu_ms $rss_kb" >>"$work/editor"
    echo "$line; pixmint $map_ms + $paint_ms ms, $cpu_ms ms CPU, $rss_kb kB"
done

for who in bare editor; do
    read -r "${who}_map" "${who}_paint" "${who}_cpu" "${who}_kb" \
        <<<"$(column 1 $who) $(column 2 $who) $(column 3 $who) $(column 4 $who)"
done
echo "medians, exec to map + map to first paint; CPU of the first 2 s; VmRSS at 2 s (load $(cut -d' ' -f1-3 /proc/loadavg)):"
echo "  bare-window: ${bare_map} + ${bare_paint} ms, ${bare_cpu} ms CPU, ${bare_kb} kB"
echo "  pixmint:     ${editor_map} + ${editor_paint} ms, ${editor_cpu} ms CPU, ${editor_kb} kB"
awk -v em="$editor_map" -v bm="$bare_map" -v ep="$editor_paint" -v ec="$editor_cpu" \
    -v bc="$bare_cpu" -v ek="$editor_kb" -v bk="$bare_kb" 'BEGIN {
    printf "first paint after map, pixmint: %.1f ms (target <= 5)\n", ep
    printf "map ratio pixmint/bare:         %.2f (target <= 1.05)\n", em / bm
    printf "CPU ratio pixmint/bare:         %.2f (target <= 1.10)\n", ec / bc
    printf "RSS ratio pixmint/bare:         %.2f (target <= 1.10)\n", ek / bk
}'
