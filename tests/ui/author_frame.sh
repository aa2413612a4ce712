#!/bin/sh
# The authoring program's frame worked as a person would: titles of new projects, the About box, opening
# from the command line (bare, quoted with spaces, damaged), the recent-file list and its deleted entry,
# the B option that ends the program by itself, and the save prompt's three answers.
# Arguments: the x86_64 tree, the native tessaro, the wine runner, a folder for screenshots.
set -u
tree=$1
tessaro=$2
wine_run=$3
shots=$4
here=$(dirname "$0")
. "$here/xvfb.sh"
mkdir -p "$shots"
failures=0
work=$(mktemp -d)
trap 'rm -rf "$work"; stop_xvfb' EXIT
start_xvfb

program="$tree/author/Tessaro.exe"
drive() { "$wine_run" "$tree/tests/ui/uidriver.exe" "$@" </dev/null; }
fail() { printf 'FAIL: %s\n' "$*"; failures=$((failures + 1)); }
winpath() { echo "Z:$1" | tr / '\\'; }
start() { "$wine_run" "$program" "$@" >/dev/null 2>&1 </dev/null & app_pid=$!; }
ended() {  # the program ends within a few seconds
    for _ in $(seq 1 100); do
        kill -0 "$app_pid" 2>/dev/null || return 0
        sleep 0.1
    done
    kill "$app_pid" 2>/dev/null
    return 1
}
mru() { "$wine_run" reg query 'HKCU\Software\Aldmere\TS\MRUList' /v "$1" 2>/dev/null </dev/null | tr -d '\r' |
        sed -n 's/.*REG_SZ *//p'; }

"$wine_run" reg delete 'HKCU\Software\Aldmere\TS' /f >/dev/null 2>&1 </dev/null

# New projects are numbered within a run; About opens and closes.
start
drive "wait|Tessaro - Project1" "command|Tessaro - Project1|40001" "wait|Tessaro - Project2" \
    "command|Tessaro - Project2|40001" "wait|Tessaro - Project3" || fail "new project titles"
import -display "$DISPLAY" -window root "$shots/general-page.png"
drive "command|Tessaro - Project3|40033" "wait|About Tessaro" "click|About Tessaro|1" "gone|About Tessaro" \
    || fail "about box"
drive "command|Tessaro - Project3|40006" "gone|Tessaro - Project3" || fail "exit"
ended || fail "the program did not end after Exit"

# A project named on the command line opens, and goes to the top of the recent-file list.
"$tessaro" new "$work/demo.tsp" >/dev/null
start "$(winpath "$work/demo.tsp")"
drive "wait|Tessaro - demo.tsp" "command|Tessaro - demo.tsp|40006" "gone|Tessaro - demo.tsp" \
    || fail "project from the command line"
ended || fail "the program did not end after Exit"
[ "$(mru file1)" = "$(winpath "$work/demo.tsp")" ] || fail "recent file 1 is \"$(mru file1)\""

# A quoted path with spaces opens whole; the option B builds and ends the program without a question.
cp "$work/demo.tsp" "$work/my demo-1.tsp"
start "$(winpath "$work/my demo-1.tsp")" -B
drive "wait|Tessaro - my demo-1.tsp" >/dev/null 2>&1
ended || fail "B did not end the program"
[ "$(mru file1)" = "$(winpath "$work/my demo-1.tsp")" ] || fail "the quoted path was not opened"
[ "$(mru file2)" = "$(winpath "$work/demo.tsp")" ] || fail "recent file 2 is \"$(mru file2)\""

# A damaged project at start-up: its message, then the program goes on.
head -c 40 "$work/demo.tsp" >"$work/broken.tsp"
start "$(winpath "$work/broken.tsp")"
drive "wait|Tessaro" "text|Tessaro|65535" >"$work/message" || fail "no message for a damaged project"
grep -q 'damaged' "$work/message" || fail "the message was: $(cat "$work/message")"
drive "click|Tessaro|1" "gone|Tessaro" "wait|Tessaro - broken.tsp" || fail "after the damaged project"

# A recent file that was deleted: removed from the list, with its message.
rm "$work/my demo-1.tsp"
drive "command|Tessaro - broken.tsp|33001" "wait|Tessaro" \
    "expect|Tessaro|65535|Cannot open the file \"$(winpath "$work/my demo-1.tsp")\"!" "click|Tessaro|1" \
    "gone|Tessaro" || fail "deleted recent file"
drive "command|Tessaro - broken.tsp|40006" "gone|Tessaro - broken.tsp" || fail "exit"
ended || fail "the program did not end after Exit"
# The damaged file never joined the list; the deleted one left it.
[ "$(mru file1)" = "$(winpath "$work/demo.tsp")" ] || fail "recent file 1 is \"$(mru file1)\" after the removal"
[ -z "$(mru file2)" ] || fail "recent file 2 is \"$(mru file2)\" after the removal"

# The save prompt: Cancel keeps the edit, Save As names a new project, Yes saves, No discards.
start
drive "wait|Tessaro - Project1" "type|Tessaro - Project1|1101|Acme Tool" "command|Tessaro - Project1|40001" \
    "wait|Tessaro" "expect|Tessaro|65535|Save changes to \"Project1\"?" "click|Tessaro|2" "gone|Tessaro" \
    "expect|Tessaro - Project1|1101|Acme Tool" || fail "Cancel in the save prompt"
drive "command|Tessaro - Project1|40004" "wait|Save As" "expect|Save As|1148|Project1" \
    "type|Save As|1148|$(winpath "$work/saved.tsp")" "click|Save As|1" "gone|Save As" "wait|Tessaro - saved.tsp" \
    || fail "Save As on a new project"
drive "type|Tessaro - saved.tsp|1104|2.5" "command|Tessaro - saved.tsp|40001" "wait|Tessaro" \
    "expect|Tessaro|65535|Save changes to \"saved.tsp\"?" "click|Tessaro|6" "wait|Tessaro - Project2" \
    || fail "Yes in the save prompt"
drive "type|Tessaro - Project2|1104|3.0" "command|Tessaro - Project2|40006" "wait|Tessaro" "click|Tessaro|7" \
    "gone|Tessaro - Project2" || fail "No in the save prompt at Exit"
ended || fail "the program did not end after Exit"
"$tessaro" dump "$work/saved.tsp" >"$work/saved.txt"
grep -q 'ProductName = "Acme Tool"' "$work/saved.txt" || fail "the saved project lacks its product name"
grep -q 'ProductVersion = "2.5"' "$work/saved.txt" || fail "the saved project lacks its version"

# The Maintenance page: its settings reach the saved project.
start "$(winpath "$work/saved.tsp")"
drive "wait|Tessaro - saved.tsp" "command|Tessaro - saved.tsp|40017" "check|Tessaro - saved.tsp|1301|0" \
    "check|Tessaro - saved.tsp|1309|1" "type|Tessaro - saved.tsp|1302|http://acme.example" "sleep|300" \
    || fail "Maintenance page"
import -display "$DISPLAY" -window root "$shots/maintenance-page.png"
drive "command|Tessaro - saved.tsp|40003" "command|Tessaro - saved.tsp|40006" "gone|Tessaro - saved.tsp" \
    || fail "saving from the Maintenance page"
ended || fail "the program did not end after Exit"
"$tessaro" dump "$work/saved.tsp" >"$work/saved.txt"
grep -q 'NoARP = 1' "$work/saved.txt" || fail "Register to the Add/Remove programs was not cleared"
grep -q 'NoRemove = 1' "$work/saved.txt" || fail "Disable Remove was not stored"
grep -q 'ProductURL = "http://acme.example"' "$work/saved.txt" || fail "the product URL was not stored"

# The Setup Media page: a user-defined disk size and the destination reach the saved project; "..." of the
# destination opens the folder chooser.
start "$(winpath "$work/saved.tsp")"
drive "wait|Tessaro - saved.tsp" "command|Tessaro - saved.tsp|40018" "select|Tessaro - saved.tsp|1401|3" \
    "type|Tessaro - saved.tsp|1402|1000000" "type|Tessaro - saved.tsp|1408|$(winpath "$work/media")" \
    "click|Tessaro - saved.tsp|1409" "wait|Select Folder" "command|Select Folder|2" "gone|Select Folder" "sleep|500" \
    || fail "Setup Media page"
import -display "$DISPLAY" -window root "$shots/setup-media-page.png"
drive "command|Tessaro - saved.tsp|40003" "command|Tessaro - saved.tsp|40006" "gone|Tessaro - saved.tsp" \
    || fail "saving from the Setup Media page"
ended || fail "the program did not end after Exit"
"$tessaro" dump "$work/saved.tsp" >"$work/saved.txt"
grep -q 'MediaType = 3' "$work/saved.txt" || fail "the media type was not stored"
grep -q 'MediaSize = 1000000' "$work/saved.txt" || fail "the disk size was not stored"
grep -qF 'Destination = "0,\\media"' "$work/saved.txt" || fail "the destination was not stored beside the project"

[ "$failures" = 0 ] && echo "authoring frame: all steps as expected"
exit "$failures"
