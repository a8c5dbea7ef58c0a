# What the end-to-end scripts share; source it after scripts/xvfb.sh.
# Sets editor from the first argument (a binary or a build folder), counts checks in passed and
# failed, and finds the editor's windows by name.

. "$(dirname "${BASH_SOURCE[0]}")/../support/checks.sh"

# The editor named by $1 (default: build); stops with status 2 when it is not built.
resolve_editor() {
    local target=${1:-build}
    editor=$target
    [ -d "$target" ] && editor=$target/pixmint
    if [ ! -x "$editor" ]; then
        echo "$(basename "$0"): $editor is not an executable; build first" >&2
        exit 2
    fi
}

# Runs the command until it succeeds, for at most $1 seconds; fails if it never does.
eventually() {
    local seconds=$1 deadline
    shift
    deadline=$(($(now_ns) + seconds * 1000000000))
    until "$@"; do
        [ "$(now_ns)" -lt "$deadline" ] || return 1
        sleep 0.05
    done
}

# Prints the id of the first visible window whose name matches the pattern, waiting up to
# $timeout_s seconds; prints nothing if none shows or the editor ($app_pid) ends.
wait_for_window() {
    local pattern=$1 wid deadline
    deadline=$(($(now_ns) + timeout_s * 1000000000))
    while [ "$(now_ns)" -lt "$deadline" ] && kill -0 "$app_pid" 2>/dev/null; do
        wid=$(xdotool search --onlyvisible --name "$pattern" 2>/dev/null | head -n 1 || true)
        if [ -n "$wid" ]; then
            echo "$wid"
            return 0
        fi
        sleep 0.05
    done
    return 1
}

# Starts the editor with its settings in $work/config, its pid in app_pid, and sets main to its
# main window; stops the script when none shows.
start_editor() {
    mkdir -p "$work/config"
    XDG_CONFIG_HOME=$work/config "$editor" >"$work/app.log" 2>&1 &
    app_pid=$!
    main=$(wait_for_window '^Pixmint 2\.1\.0$')
    [ -n "$main" ] && return 0
    echo "not ok - no visible window named \"Pixmint 2.1.0\"; the editor said:"
    cat "$work/app.log"
    exit 1
}

# Sets screen_w and screen_h to the screen's size in pixels.
read_screen_size() {
    read -r screen_w screen_h < <(xdpyinfo | awk '/dimensions:/ {split($2, d, "x"); print d[1], d[2]}')
}

# Stops with status 77 (skipped) when openbox is not installed; $1 names the script.
require_openbox() {
    command -v openbox >/dev/null && return 0
    echo "$1: openbox is not installed (scripts/install-deps installs it); skipped"
    exit 77
}

wm_running() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }

# Starts openbox, its pid in wm_pid, and waits for it; stops the script if it never comes.
start_openbox() {
    openbox --sm-disable >"$work/openbox.log" 2>&1 &
    wm_pid=$!
    eventually "$timeout_s" wm_running && return 0
    echo "not ok - openbox did not start; it said:"
    cat "$work/openbox.log"
    exit 1
}

# The first visible window captioned as the tool windows are.
tool_window() { xdotool search --onlyvisible --name '^Orvel Pixmint $' 2>/dev/null | head -n 1; }

tool_window_shown() { [ -n "$(tool_window)" ]; }

# An entry of the Colors menu from the keyboard (the keys after alt+c are the arguments), as
# often as it takes the splash to let go, until a tool window shows.
open_from_colors_menu() {
    local i
    for i in 1 2 3 4 5 6; do
        xdotool key alt+c
        sleep 0.2
        xdotool key "$@"
        eventually 1 tool_window_shown && return 0
    done
    return 1
}

summary() {
    echo "$passed passed, $failed failed"
    [ "$failed" -eq 0 ]
}
