#!/bin/sh
# Builds and installs a product of many small files: CD media for COUNT files (20000 by default) taken by a
# dynamic folder, built around the real setup program and installed silently (-S) under Wine in a scratch
# prefix. Prints the build's steps, the installation's time and checks that every file was installed.
# Arguments: the bench tree (with many_files_build), the setup program's image TSS.dat, optionally COUNT.
set -eu
bench=$(cd "$1" && pwd)
raw="$(cd "$(dirname "$2")" && pwd)/$(basename "$2")"
count=${3:-20000}
work="$bench/many-files"
winpath() { echo "Z:$1" | tr / '\\'; }
now() { date +%s.%N; }
since() { awk -v a="$(now)" -v b="$1" 'BEGIN { print a - b }'; }
rm -rf "$work/media" "$work/prefix"
mkdir -p "$work"
export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# The sources are kept for the next run; the media and the prefix are not.
trap 'wineserver -k >/dev/null 2>&1 || true; rm -rf "$work/media" "$work/prefix"' EXIT

"$bench/bench/many_files_build" "$(winpath "$work")" "$(winpath "$raw")" "$count"
wineboot -i >/dev/null 2>&1 </dev/null
wineserver -w
(wineserver -p >/dev/null 2>&1 </dev/null &)
wine cmd.exe /c exit >/dev/null 2>&1 </dev/null

start=$(now)
wine "$(winpath "$work/media/CD/CD1/Setup.exe")" -S >/dev/null 2>&1 </dev/null
install=$(since "$start")
installed="$WINEPREFIX/drive_c/Program Files/Tessaro Many"
files=$(find "$installed/Data" -type f -name '*.txt' 2>/dev/null | wc -l)
bytes=$(find "$installed/Data" -type f -name '*.txt' -printf '%s\n' 2>/dev/null | awk '{s += $1} END {print s + 0}')
awk -v files="$files" -v bytes="$bytes" -v t="$install" 'BEGIN {
    printf "silent installation: %d files, %.1f MB in %.2f s: %.0f files/s\n", files, bytes / 1e6, t, files / t
}'
[ "$files" -eq "$count" ] || { echo "many_files_bench: $files of $count files were installed"; exit 1; }
