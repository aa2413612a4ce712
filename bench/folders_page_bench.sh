#!/bin/sh
# The Folders page on a large folder, under Wine: a project of COUNT files (2000 by default) in one folder
# opened by the authoring program, the folder shown, and ADDED more files (500 by default) dropped onto it
# from the shell in one go (the same path as one Add Files). Prints the time of each step as a person
# waits for it, measured from outside the program (the driver's own start-up included), and checks the
# number of rows shown after each.
# Arguments: the x86_64 tree, the native tree, optionally COUNT and ADDED.
set -u
tree=$(cd "$1" && pwd)
native=$(cd "$2" && pwd)
count=${3:-2000}
added=${4:-500}
here=$(cd "$(dirname "$0")" && pwd)
wine_run="$here/../scripts/wine-run"
driver="$tree/tests/ui/uidriver.exe"
"$here/../scripts/wine-prefix"
. "$here/../tests/ui/xvfb.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"; stop_xvfb' EXIT
start_xvfb
drive() { "$wine_run" "$driver" "$@" </dev/null; }
winpath() { echo "Z:$1" | tr / '\\'; }
now() { date +%s.%N; }
since() { awk -v a="$(now)" -v b="$1" 'BEGIN { printf "%.2f", a - b }'; }
shown() { drive "list|$T|2002" | grep -c .; }

mkdir -p "$work/files" "$work/more"
{
    printf "[product]\nname = 'Folders Bench'\n\n[[folder]]\npath = '<Target Folder>'\n\n[[folder]]\npath = '<Target Folder>\\\\Data'\n"
    i=0
    while [ "$i" -lt "$count" ]; do
        printf 'file %d\n' "$i" >"$work/files/f$i.txt"
        printf "\n[[file]]\nfolder = '<Target Folder>\\\\Data'\nsource = 'files\\\\f%d.txt'\n" "$i"
        i=$((i + 1))
    done
} >"$work/bench.toml"
i=0
dropped=""
while [ "$i" -lt "$added" ]; do
    printf 'more %d\n' "$i" >"$work/more/m$i.txt"
    dropped="$dropped|$(winpath "$work/more/m$i.txt")"
    i=$((i + 1))
done
"$native/cli/tessaro" import "$work/bench.toml" -o "$work/bench.tsp" >/dev/null || { echo "import failed"; exit 1; }

T="Tessaro - bench.tsp"
start=$(now)
"$wine_run" "$tree/author/Tessaro.exe" "$(winpath "$work/bench.tsp")" >/dev/null 2>&1 </dev/null &
app_pid=$!
drive "wait|$T|60000" >/dev/null || { echo "the project did not open"; exit 1; }
echo "project of $count files opened: $(since "$start") s"
drive "command|$T|40011" "sleep|500" >/dev/null
start=$(now)
drive "tree-select|$T|2001|Target Folder\\Data" >/dev/null
echo "folder of $count files shown: $(since "$start") s ($(shown) rows)"
start=$(now)
drive "drop-at|$T|2001:tree:Target Folder\\Data$dropped" >/dev/null
rows=0
while [ "$rows" -lt $((count + added)) ]; do
    rows=$(shown)
    awk -v t="$(since "$start")" 'BEGIN { exit !(t > 120) }' && break
done
echo "$added files added and shown: $(since "$start") s ($rows rows, the row count read included)"
drive "command|$T|40006" "sleep|500" >/dev/null
# The program asks whether to save the changes: No.
drive "wait|Tessaro|3000" "click|Tessaro|7" >/dev/null 2>&1
for _ in $(seq 1 100); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.2; done
kill "$app_pid" 2>/dev/null
[ "$rows" -eq $((count + added)) ] || { echo "folders_page_bench: $rows rows, not $((count + added))"; exit 1; }
