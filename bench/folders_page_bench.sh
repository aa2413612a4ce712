#!/bin/sh
# The Folders page on a large folder, under Wine: a project of COUNT files (2000 by default) in one folder
# opened by the authoring program, the folder shown, and ADDED more files (500 by default) dropped onto it
# from the shell in one go (the same path as one Add Files). Prints the time of each step as a person
# waits for it: the opening beside the opening of a project of no files, measured from outside; showing
# and adding timed by the UI driver from its step to the moment the list holds every row.
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

# The same program opening a project of no files: the part of the opening time that is Wine's and the
# program's own start.
printf "[product]\nname = 'Empty Bench'\n" >"$work/empty.toml"
start=$(now)
"$wine_run" "$tree/author/Tessaro.exe" "$(winpath "$work/empty.toml")" >/dev/null 2>&1 </dev/null &
empty_pid=$!
drive "wait|Tessaro - empty.toml|60000" >/dev/null || { echo "the empty project did not open"; exit 1; }
echo "project of no files opened: $(since "$start") s"
drive "command|Tessaro - empty.toml|40006" >/dev/null
for _ in $(seq 1 100); do kill -0 "$empty_pid" 2>/dev/null || break; sleep 0.2; done

T="Tessaro - bench.tsp"
start=$(now)
"$wine_run" "$tree/author/Tessaro.exe" "$(winpath "$work/bench.tsp")" >/dev/null 2>&1 </dev/null &
app_pid=$!
drive "wait|$T|60000" >/dev/null || { echo "the project did not open"; exit 1; }
echo "project of $count files opened: $(since "$start") s (Wine's start of the program included)"
drive "command|$T|40011" "sleep|500" >/dev/null
# The driver times the rest itself, from its first step to the moment the list holds the rows.
ms=$(drive "tree-select|$T|2001|Target Folder\\Data" "rows|$T|2002|$count|120000") ||
    { echo "the folder was not shown"; exit 1; }
echo "folder of $count files shown: $(echo "$ms" | tr -d '\r') ms"
ms=$(drive "drop-at|$T|2001:tree:Target Folder\\Data$dropped" "rows|$T|2002|$((count + added))|120000") ||
    { echo "the dropped files were not shown"; exit 1; }
echo "$added files added and shown: $(echo "$ms" | tr -d '\r') ms ($((count + added)) rows)"
drive "command|$T|40006" "sleep|500" >/dev/null
# The program asks whether to save the changes: No.
drive "wait|Tessaro|3000" "click|Tessaro|7" >/dev/null 2>&1
for _ in $(seq 1 100); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.2; done
kill "$app_pid" 2>/dev/null
