#!/usr/bin/env bash
# Starts the real editor under a real window manager (openbox on a private Xvfb) and checks the
# frames the window manager put around its windows: the main window's outer size and place, the
# tool window's title bar on the screen, the tool window reopening exactly where it was closed,
# every tool window fixed in size with its title shown whole, and F12 reaching the editor from
# the tool window.
# Usage: tests/smoke/frames.sh [PIXMINT_BINARY | BUILD_DIR]   (default: build)
# Exits 77 (skipped) when openbox is not installed.
set -uo pipefail
. "$(dirname "$0")/../../scripts/xvfb.sh"
. "$(dirname "$0")/common.sh"

require_openbox frames
resolve_editor "${1:-build}"
timeout_s=10
require_tools frames Xvfb xdotool xdpyinfo xwininfo xprop xmessage import convert

app_pid=""
wm_pid=""
ref_pid=""
use_scratch app_pid wm_pid ref_pid

# "X Y W H" of the frame around a client window: its parent under a reparenting manager.
frame_of() {
    local parent
    parent=$(xwininfo -id "$1" -children 2>/dev/null | awk '/Parent window id:/ {print $4}')
    xwininfo -id "$parent" 2>/dev/null | awk '
        /Absolute upper-left X/ {x = $4} /Absolute upper-left Y/ {y = $4}
        /Width:/ {w = $2} /Height:/ {h = $2} END {print x, y, w, h}'
}

# The frame of window $1 is at $2 $3 with size $4 x $5, each within $6 pixels.
frame_is() {
    local got
    read -r -a got <<<"$(frame_of "$1")"
    [ ${#got[@]} -eq 4 ] || return 1
    local i want=("$2" "$3" "$4" "$5")
    for i in 0 1 2 3; do
        [ $((got[i] - want[i])) -le "$6" ] && [ $((want[i] - got[i])) -le "$6" ] || return 1
    done
}

expect_frame() {
    local what=$1
    shift
    eventually 3 frame_is "$@" && return 0
    echo "#   $what: frame at $(frame_of "$1"), wanted $2 $3 $4 x $5" >&2
    return 1
}

stored() {
    sed -n "s/^.*Window%20Position\\\\$1=//p" "$work/config/Pixmint/registry.ini" 2>/dev/null
}

stored_position_is() { [ "$(stored Left)" = "$1" ] && [ "$(stored Top)" = "$2" ]; }

# Colors, Fasten Color.
open_tool_window() { open_from_colors_menu Return; }

close_tool_window() {
    timeout 5 xdotool windowactivate --sync "$(tool_window)" 2>/dev/null
    xdotool key alt+F4
    eventually 3 eval '! tool_window_shown'
}

# Drags the window by its title bar, slowly enough for the window manager to follow.
drag_title() {
    local f x y
    read -r -a f <<<"$(frame_of "$1")"
    x=$((f[0] + 40)) y=$((f[1] + 8))
    xdotool mousemove "$x" "$y" && sleep 0.2 && xdotool mousedown 1 && sleep 0.2
    for step in 1 2 3 4; do
        xdotool mousemove $((x + step * $2 / 4)) $((y + step * $3 / 4))
        sleep 0.1
    done
    xdotool mouseup 1
    sleep 0.3
}

# Equal minimum and maximum sizes in the window's WM_NORMAL_HINTS.
fixed_size() {
    xprop -id "$1" WM_NORMAL_HINTS 2>/dev/null | awk '
        /minimum size:/ {min = $5 " " $7} /maximum size:/ {max = $5 " " $7}
        END {exit !(min != "" && min == max)}'
}

# The width of the widest run of ink in the middle rows of window $1's title bar: the title's
# text, words and all, in an inactive frame.
title_width() {
    local f
    read -r -a f <<<"$(frame_of "$1")"
    import -window root -crop "${f[2]}x12+${f[0]}+$((f[1] + 4))" +repage png:- 2>/dev/null |
        convert - -colorspace gray -threshold 60% -negate -scale "${f[2]}x1!" -depth 8 txt:- |
        awk -F'[,:]' 'NR > 1 && $0 !~ /gray\(0\)/ {
                if (start < 0 || $1 - last > 10) {
                    if (start >= 0 && last - start + 1 > widest) widest = last - start + 1
                    start = $1
                }
                last = $1
            }
            BEGIN {start = -1; widest = 0}
            END {if (start >= 0 && last - start + 1 > widest) widest = last - start + 1; print widest}'
}

# The title's width drawn whole: in a wide window of another program bearing the same title.
reference_width() {
    local ref width
    xmessage -title "$1" -geometry 600x60+300+920 x >/dev/null 2>&1 &
    ref_pid=$!
    ref=$(eventually 3 xdotool search --onlyvisible --class Xmessage 2>/dev/null | head -n 1)
    sleep 0.3
    # Inactive, as the tool windows are when they are measured.
    timeout 5 xdotool windowactivate --sync "$ref" 2>/dev/null
    timeout 5 xdotool windowactivate --sync "$tool" 2>/dev/null
    sleep 0.3
    width=$(title_width "$ref")
    stop_pid "$ref_pid"
    ref_pid=""
    echo "$width"
}

# Window $1, named $2, neither resizes nor hides any of its title.
check_window() {
    local what=$1 win=$2 want got
    check "$what can be neither resized nor maximised (minimum size = maximum size)" fixed_size "$win"
    want=$(reference_width "$(xprop -id "$win" WM_NAME | sed 's/^[^"]*"\(.*\)"$/\1/')")
    timeout 5 xdotool windowactivate --sync "$main" 2>/dev/null
    sleep 0.3
    got=$(title_width "$win")
    check "$what shows its title whole (${got} of ${want} pixels)" \
        eval '[ "$want" -gt 20 ] && [ "$got" -eq "$want" ]'
}

# The first visible window named like $1 that is not among the ids in $before.
new_window() {
    local w
    for w in $(xdotool search --onlyvisible --name "$1" 2>/dev/null); do
        grep -qx "$w" <<<"$before" || { echo "$w" && return 0; }
    done
    return 1
}

# Opens a window from the main window's keyboard and prints its id: $1 the name, the rest keys.
open_window() {
    local name=$1 i key
    shift
    for i in 1 2 3; do
        timeout 5 xdotool windowactivate --sync "$main" 2>/dev/null
        for key in "$@"; do
            xdotool key "$key"
            sleep 0.2
        done
        eventually 2 new_window "$name" >/dev/null && new_window "$name" && return 0
    done
    return 1
}

start_xvfb
export QT_QPA_PLATFORM=xcb
read_screen_size
start_openbox
start_editor

# Screen size less 100 twips, frame included; left (screen - width) / 2 and top 400 twips.
outer_w=$(((screen_w * 15 - 100 + 7) / 15)) outer_h=$(((screen_h * 15 - 100 + 7) / 15))
check "the main window's frame is the screen less 100 twips, at 50 and 400 twips" \
    expect_frame "main window" "$main" 3 27 "$outer_w" "$outer_h" 1

# Off the middle: the pointer starts there, and a move to where it is never ends.
xdotool mousemove --sync $((screen_w / 2 - 40)) $((screen_h / 2 - 40)) click 1
check "Fasten Color opens the tool window" open_tool_window
tool=$(tool_window)
check "with nothing stored the tool window's frame, title bar and all, is at the top left" \
    expect_frame "tool window" "$tool" 0 0 165 245 0

drag_title "$tool" 300 240
read -r -a at <<<"$(frame_of "$tool")"
check "the tool window was moved away from the corner" [ "${at[0]}" -gt 100 ]
for cycle in 1 2 3 4; do
    close_tool_window
    check "close $cycle stores the frame's place" \
        stored_position_is $((at[0] * 15)) $((at[1] * 15))
    open_tool_window
    check "reopening $cycle puts the frame where it was closed" \
        expect_frame "tool window" "$(tool_window)" "${at[0]}" "${at[1]}" 165 245 0
done

tool=$(tool_window)
check_window "the tool window" "$tool"
for entry in "the RGB mixer:^Orvel Pixmint $:alt+c Down Down Return" \
    "the desktop picker:^Orvel Pixmint $:alt+c Down Return" \
    "the gradient window:^Orvel Pixmint$:alt+t Down Return" \
    "the file manager:^Orvel Pixmint$:ctrl+p" \
    "the About box:^About Orvel Pixmint$:alt+f Left Up Return"; do
    IFS=: read -r what name keys <<<"$entry"
    before=$(xdotool search --onlyvisible --name "$name" 2>/dev/null)
    # shellcheck disable=SC2086
    win=$(open_window "$name" $keys)
    check "$what opens" [ -n "$win" ]
    [ -n "$win" ] && check_window "$what" "$win"
    [ -n "$win" ] && timeout 5 xdotool windowactivate --sync "$win" 2>/dev/null && xdotool key alt+F4
    eventually 3 eval '! new_window "$name" >/dev/null'
done

timeout 5 xdotool windowactivate --sync "$(tool_window)" 2>/dev/null
xdotool key F12
check "F12 from the tool window ends the editor" eventually "$timeout_s" eval '! kill -0 $app_pid 2>/dev/null'

summary
