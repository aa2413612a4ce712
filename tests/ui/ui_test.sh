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
# A Linux path as Wine names it (drive Z:).
winpath() { echo "Z:$1" | tr / '\\'; }
# Starts a Windows program in the background; $app_pid is its process.
start() { "$wine_run" "$@" >/dev/null 2>&1 </dev/null & app_pid=$!; }
# The program started last ends within $1 seconds (default 20); otherwise it is stopped.
ended() {
    for _ in $(seq 1 $((${1:-20} * 10))); do
        kill -0 "$app_pid" 2>/dev/null || return 0
        sleep 0.1
    done
    kill "$app_pid" 2>/dev/null
    return 1
}
# A control's text with the rich-edit line ends made plain.
text_of() { drive "text|$1|$2" | tr -d '\r'; }
# Ends the script with the number of failed steps, and a line that names the script when there is none.
finish() {
    [ "$failures" = 0 ] && echo "$1: all steps as expected"
    exit "$failures"
}
