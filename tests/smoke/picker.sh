#!/usr/bin/env bash
# Picks the colour of another program's window through the desktop colour picker of the real
# editor under openbox: a real still of the screen, read after the other program has gone, then
# fastened as the left button's colour.
# Usage: tests/smoke/picker.sh [PIXMINT_BINARY | BUILD_DIR]   (default: build)
# Exits 77 (skipped) when openbox is not installed.
set -uo pipefail
. "$(dirname "$0")/../../scripts/xvfb.sh"
. "$(dirname "$0")/common.sh"

require_openbox picker
resolve_editor "${1:-build}"
timeout_s=10
require_tools picker Xvfb xdotool xdpyinfo xwininfo xprop display import convert

app_pid="" wm_pid="" other_pid=""
use_scratch app_pid wm_pid other_pid

# The colour of screen pixel ($1, $2) as six lowercase hex digits.
screen_pixel() {
    import -window root -crop "1x1+$1+$2" +repage -depth 8 txt:- 2>/dev/null |
        sed -n 's/.*#\([0-9A-Fa-f]\{6\}\).*/\1/p' | tr 'A-F' 'a-f' | head -n 1
}

# Whether the screen below row $1 shows any pixel of colour #$2.
screen_below_shows() {
    import -window root -depth 8 png:- 2>/dev/null | convert - -crop "+0+$1" +repage \
        -format %c histogram:info:- | grep -qi "#$2"
}

# Bounded, since a move to where the pointer is never ends.
point_at() { timeout 5 xdotool mousemove --sync "$1" "$2"; }

# Sets at to "X Y" of window $1's client area on the screen.
client_at() {
    read -r -a at <<<"$(xwininfo -id "$1" 2>/dev/null |
        awk '/Absolute upper-left X/ {x = $4} /Absolute upper-left Y/ {y = $4} END {print x, y}')"
    [ ${#at[@]} -eq 2 ]
}

# Clicks at ($2, $3) in the client area of window $1.
click_in() { client_at "$1" && point_at $((at[0] + $2)) $((at[1] + $3)) && xdotool click 1; }

start_xvfb
export QT_QPA_PLATFORM=xcb
start_openbox

display -size 200x200 -geometry +760+560 xc:'#12ab34' >"$work/display.log" 2>&1 &
other_pid=$!
check "another program shows a window filled with #12ab34" \
    eventually "$timeout_s" eval '[ "$(screen_pixel 860 660)" = 12ab34 ]'

start_editor
# A click on the splash, in the middle of the screen, unlocks the menus.
read_screen_size
point_at $((screen_w / 2)) $((screen_h / 2 + 40))
xdotool click 1
check "Search Color opens the picker" open_from_colors_menu Down Return
picker=$(tool_window)
check "the main window shows no #12ab34 yet" eval '! screen_below_shows 200 12ab34'

# The other program's window in front of the editor's, below the topmost picker.
timeout 5 xdotool windowactivate --sync \
    "$(xdotool search --onlyvisible --name '^ImageMagick' 2>/dev/null | head -n 1)" 2>/dev/null
check "the other program's window is in sight again" \
    eventually 3 eval '[ "$(screen_pixel 860 660)" = 12ab34 ]'

# "Initialize Color Search", then the other program goes: only the still holds its colour.
click_in "$picker" 80 20
sleep 1
stop_pid "$other_pid"
other_pid=""
point_at 860 660
sleep 0.3
client_at "$picker"
check "the picker stays above the still and its swatch shows #12ab34" \
    eventually 3 eval '[ "$(screen_pixel $((at[0] + 30)) $((at[1] + 60)))" = 12ab34 ]'
xdotool click 1
sleep 0.5
check "the pick closes the still: the live screen shows no #12ab34" \
    eval '[ "$(screen_pixel 860 660)" != 12ab34 ]'
# The button may show a moment after the pick under load; a second click on the idle picker does
# nothing. The left colour's swatch lies at (48, 735) of the 1280 x 1024 screen.
fasten() { click_in "$picker" 35 108 && sleep 0.5 && [ "$(screen_pixel 48 735)" = 12ab34 ]; }
check "\"Click - Me!\" makes #12ab34 the left button's colour" eventually 5 fasten

summary
