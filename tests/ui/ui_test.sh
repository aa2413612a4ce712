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
# Starts a Windows program ($2...) and waits for its window titled $1. A start that shows no window is
# reported with what the program and the screen show, and tried once more; when the second shows none
# either, the script ends at once, since every later step would wait for that window in vain.
launch() {
    title=$1
    shift
    for attempt in 1 2; do
        start "$@"
        drive "wait|$title" >/dev/null && return 0
        if kill -0 "$app_pid" 2>/dev/null; then state="is running"; else state="has ended"; fi
        echo "start $attempt of $1: no window \"$title\"; the program $state; the windows shown:" \
            "$(drive windows | tr -d '\r' | tr '\n' ';')"
        kill "$app_pid" 2>/dev/null
        wait "$app_pid" 2>/dev/null
    done
    fail "$1 did not show \"$title\""
    exit "$failures"
}
# A control's text with the rich-edit line ends made plain.
text_of() { drive "text|$1|$2" | tr -d '\r'; }
# Ends the script with the number of failed steps, and a line that names the script when there is none.
finish() {
    [ "$failures" = 0 ] && echo "$1: all steps as expected"
    exit "$failures"
}
# A project file that a test saved goes to its text form and back without loss: beside it, export and import
# give a project whose dump equals the saved one's, and exporting that gives the same text byte for byte.
# Arguments: the native tessaro, the project file.
text_round_trip() {
    base="${2%.tsp}-round-trip"
    log="$work/round-trip.log"
    if "$1" export "$2" -o "$base.toml" >"$log" 2>&1 && "$1" import "$base.toml" -o "$base.tsp" >>"$log" 2>&1 &&
        "$1" export "$base.tsp" -o "$base-again.toml" >>"$log" 2>&1 && "$1" dump "$2" >"$base.dump" 2>>"$log" &&
        "$1" dump "$base.tsp" >"$base-again.dump" 2>>"$log"; then
        diff -u "$base.dump" "$base-again.dump" >"$log" || fail "text form of $2 lost: $(cat "$log")"
        cmp -s "$base.toml" "$base-again.toml" || fail "text form of $2: the second export differs"
    else
        fail "text form of $2: $(cat "$log")"
    fi
    rm -f "$base.toml" "$base.tsp" "$base-again.toml" "$base.dump" "$base-again.dump"
}
