# Sourced by the tool tests: `check DESCRIPTION COMMAND...` runs the command and counts what
# fails; `finish` prints the count and gives the status. Runs in a fresh folder, $work.
set -u
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
check() {  # description, then a command that must succeed
    local what=$1; shift
    if "$@"; then echo "ok: $what"; else echo "FAIL: $what"; failures=$((failures + 1)); fi
}
finish() {
    echo "$failures failed"
    exit $((failures > 0))
}
