# Numbered checks for the shell tests; source it. `check WHAT COMMAND...` runs the command and
# prints "ok - WHAT" or "not ok - WHAT", counting both in $passed and $failed.

passed=0
failed=0
check() {
    local what=$1
    shift
    if "$@"; then
        echo "ok - $what"
        passed=$((passed + 1))
    else
        echo "not ok - $what"
        failed=$((failed + 1))
    fi
}
