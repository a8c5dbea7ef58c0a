#!/usr/bin/env bash
# Starts the real editor on a private Xvfb and drives it with xdotool: the menus are locked
# while the splash is up, a click on the splash unlocks them, the grid and the actual-size icon
# show the picture it was started with alike, transparency included, F3 maximises.
# Usage: tests/smoke/smoke.sh [PIXMINT_BINARY | BUILD_DIR]   (default: build)
# Leaves a screenshot, smoke.png, next to the binary. No `set -e`: a failed step is a failed
# check, and the summary line is always printed.
set -uo pipefail
. "$(dirname "$0")/../../scripts/xvfb.sh"
. "$(dirname "$0")/common.sh"

resolve_editor "${1:-build}"
shot=$(cd "$(dirname "$editor")" && pwd)/smoke.png
timeout_s=10

require_tools smoke Xvfb xdotool xdpyinfo import convert python3

app_pid=""
use_scratch app_pid

visible_windows() { xdotool search --onlyvisible --pid "$app_pid" 2>/dev/null | wc -l; }

more_windows_than() { [ "$(visible_windows)" -gt "$1" ]; }

# Waits (bounded) until the program shows more windows than $1; a popup menu is one.
popup_appears() { eventually 2 more_windows_than "$1"; }

no_popup_appears() { ! popup_appears "$1"; }

caption_is() { [ "$(xdotool getwindowname "$wid" 2>/dev/null)" = "$1" ]; }

caption_becomes() {
    eventually "$timeout_s" caption_is "$1" && return 0
    echo "#   caption is \"$(xdotool getwindowname "$wid" 2>/dev/null)\"" >&2
    return 1
}

# The "File" title is the first in the menu bar, at the top left of the client area.
click_file_menu() {
    xdotool mousemove --sync $((X + 20)) $((Y + 10)) click 1
}

start_xvfb
export QT_QPA_PLATFORM=xcb

# A blue that fades from opaque at the top to clear at the bottom, with an opaque magenta corner
# by which the comparison finds the grid and the icon.
convert -size 32x32 xc:'rgb(40,90,200)' \( -size 32x32 gradient:white-black \) -alpha off \
    -compose copy_opacity -composite -compose over -fill magenta -draw 'point 0,0' \
    png32:"$work/soft.png"

"$editor" "$work/soft.png" >"$work/app.log" 2>&1 &
app_pid=$!

wid=$(wait_for_window '^Pixmint 2\.1\.0$')
if [ -z "$wid" ]; then
    echo "not ok - no visible window named \"Pixmint 2.1.0\" within ${timeout_s} s; the editor said:"
    cat "$work/app.log"
    echo "0 passed, 1 failed"
    exit 1
fi
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

canvas_agrees() {
    import -window root "$work/canvas.png" &&
        convert "$work/canvas.png" -depth 8 rgb:- |
        python3 "$(dirname "$0")/canvas_agrees.py" \
            "$(identify -format %w "$work/canvas.png")" "$(identify -format %h "$work/canvas.png")" \
            ffffff
}
check "the grid and the icon show every pixel alike, soft alpha included" canvas_agrees

timeout 5 xdotool windowfocus --sync "$wid" || true
xdotool key F3
check "F3 maximises: the caption reads the long title" \
    caption_becomes "Orvel Pixmint - Version: 2.10 - Orvel Orvelcraft"

import -window root "$shot" && echo "# screenshot: $shot"

summary
