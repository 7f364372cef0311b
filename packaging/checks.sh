# Sourced by the packaging tests: check DESCRIPTION COMMAND... runs COMMAND and
# counts it; report NAME prints the closing count and fails where any check did.
passed=0
failed=0
check() {
    local what=$1
    shift
    if "$@"; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        echo "FAILED: $what" >&2
    fi
}
report() {
    echo "$1: $passed passed, $failed failed"
    ((failed == 0))
}
