#!/usr/bin/env bash
# Starts the real editor on a private Xvfb and drives it with xdotool: the menus are locked
# while the splash is up, a click on the splash unlocks them, F3 maximises.
# Usage: tests/smoke/smoke.sh [PIXMINT_BINARY | BUILD_DIR]   (default: build)
# Leaves a screenshot, smoke.png, next to the binary. No `set -e`: a failed step is a failed
# check, and the summary line is always printed.
set -uo pipefail
. "$(dirname "$0")/../../scripts/xvfb.sh"

target=${1:-build}
if [ -d "$target" ]; then
    editor=$target/pixmint
else
    editor=$target
fi
if [ ! -x "$editor" ]; then
    echo "smoke: $editor is not an executable; build first" >&2
    exit 2
fi
shot=$(cd "$(dirname "$editor")" && pwd)/smoke.png
timeout_s=10

for tool in Xvfb xdotool xdpyinfo import; do
    command -v "$tool" >/dev/null || { echo "smoke: $tool is not installed" >&2; exit 2; }
done

work=$(mktemp -d)
app_pid=""
cleanup() {
    local pid
    for pid in "$app_pid" "$xvfb_pid"; do
        stop_pid "$pid"
    done
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

. "$(dirname "$0")/../support/checks.sh"

visible_windows() { xdotool search --onlyvisible --pid "$app_pid" 2>/dev/null | wc -l; }

# Waits (bounded) until the program shows more windows than $1; a popup menu is one.
popup_appears() {
    local before=$1 deadline
    deadline=$(($(now_ns) + 2000000000))
    while [ "$(now_ns)" -lt "$deadline" ]; do
        [ "$(visible_windows)" -gt "$before" ] && return 0
        sleep 0.05
    done
    return 1
}

no_popup_appears() { ! popup_appears "$1"; }

caption_becomes() {
    local want=$1 deadline
    deadline=$(($(now_ns) + timeout_s * 1000000000))
    while [ "$(now_ns)" -lt "$deadline" ]; do
        [ "$(xdotool getwindowname "$wid" 2>/dev/null)" = "$want" ] && return 0
        sleep 0.05
    done
    echo "#   caption is \"$(xdotool getwindowname "$wid" 2>/dev/null)\"" >&2
    return 1
}

# The "File" title is the first in the menu bar, at the top left of the client area.
click_file_menu() {
    xdotool mousemove --sync $((X + 20)) $((Y + 10)) click 1
}

start_xvfb
export QT_QPA_PLATFORM=xcb

"$editor" >"$work/app.log" 2>&1 &
app_pid=$!

wid=""
deadline=$(($(now_ns) + timeout_s * 1000000000))
while [ -z "$wid" ]; do
    wid=$(xdotool search --onlyvisible --name '^Pixmint 2\.1\.0$' 2>/dev/null | head -n 1 || true)
    [ -n "$wid" ] && break
    if ! kill -0 "$app_pid" 2>/dev/null; then
        echo "not ok - the editor exited before showing its window; its output:"
        cat "$work/app.log"
        echo "0 passed, 1 failed"
        exit 1
    fi
    if [ "$(now_ns)" -ge "$deadline" ]; then
        echo "not ok - no visible window named \"Pixmint 2.1.0\" within ${timeout_s} s"
        echo "0 passed, 1 failed"
        exit 1
    fi
    sleep 0.05
done
echo "ok - the main window \"Pixmint 2.1.0\" is shown"
passed=1

# No window manager runs, so there is no frame: this is the client's geometry.
eval "$(xdotool getwindowgeometry --shell "$wid")"
timeout 5 xdotool windowfocus --sync "$wid" || true

before=$(visible_windows)
click_file_menu
check "the File menu stays closed while the splash is up" no_popup_appears "$before"
xdotool key Escape

xdotool mousemove --sync $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) click 1
sleep 1
before=$(visible_windows)
click_file_menu
check "after a click on the splash the File menu opens" popup_appears "$before"
xdotool key Escape
sleep 0.3

timeout 5 xdotool windowfocus --sync "$wid" || true
xdotool key F3
check "F3 maximises: the caption reads the long title" \
    caption_becomes "Orvel Pixmint - Version: 2.10 - Orvel Orvelcraft"

import -window root "$shot" && echo "# screenshot: $shot"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
