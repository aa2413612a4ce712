# Sourced by the UI test scripts after they set wine_run (the Wine runner) and driver (uidriver.exe):
# a private X display (see xvfb.sh), a scratch folder $work removed at the end, and the shared steps.
set -u
. "$(dirname "$0")/xvfb.sh"
failures=0
work=$(mktemp -d)
trap 'rm -rf "$work"; stop_xvfb' EXIT
start_xvfb

drive() { "$wine_run" "$driver" "$@" </dev/null; }
fail() { printf 'FAIL: %s\n' "$*"; failures=$((failures + 1)); }
# Ends the script with the number of failed steps, and a line that names the script when there is none.
finish() {
    [ "$failures" = 0 ] && echo "$1: all steps as expected"
    exit "$failures"
}
