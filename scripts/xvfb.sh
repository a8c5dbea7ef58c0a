# A private Xvfb server for the end-to-end tests and the start-up benchmark; source it.
# Needs $work (a scratch folder, see use_scratch) and $timeout_s; sets xvfb_pid and exports
# DISPLAY.

xvfb_pid=""

# Seconds since the epoch with nanoseconds, as a plain integer.
now_ns() { date +%s%N; }

stop_pid() {
    [ -n "$1" ] || return 0
    kill "$1" 2>/dev/null || true
    wait "$1" 2>/dev/null || true
}

# Stops with status 2 unless every tool after the script's name ($1) is installed.
require_tools() {
    local who=$1 tool
    shift
    for tool in "$@"; do
        command -v "$tool" >/dev/null || { echo "$who: $tool is not installed" >&2; exit 2; }
    done
}

# Makes the scratch folder $work; at exit stops the programs whose pids the named variables hold,
# then the server, and removes the folder.
use_scratch() {
    work=$(mktemp -d)
    scratch_pids=("$@")
    trap clean_scratch EXIT
    trap 'exit 130' INT TERM
}

clean_scratch() {
    local v
    for v in "${scratch_pids[@]}" xvfb_pid; do
        stop_pid "${!v:-}"
    done
    rm -rf "$work"
}

# Starts Xvfb on the first free display from :120 and exports DISPLAY.
start_xvfb() {
    local n deadline
    for n in $(seq 120 199); do
        [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
        Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp -noreset >"$work/xvfb.log" 2>&1 &
        xvfb_pid=$!
        deadline=$(($(now_ns) + timeout_s * 1000000000))
        while kill -0 "$xvfb_pid" 2>/dev/null && [ "$(now_ns)" -lt "$deadline" ]; do
            if xdpyinfo -display ":$n" >/dev/null 2>&1; then
                # Another server may have won the display in between, and ours may not have
                # seen it yet: the display is ours when the server's lock names our server.
                if [ "$(tr -d ' \n' <"/tmp/.X$n-lock" 2>/dev/null)" = "$xvfb_pid" ]; then
                    export DISPLAY=":$n"
                    return 0
                fi
                break
            fi
            sleep 0.05
        done
        stop_pid "$xvfb_pid"
        xvfb_pid=""
    done
    echo "$(basename "$0"): could not start Xvfb on any display from :120 to :199" >&2
    exit 2
}
