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

summary() {
    echo "$passed passed, $failed failed"
    [ "$failed" -eq 0 ]
}
