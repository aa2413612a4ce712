#!/bin/sh
# Installs a large product silently under Wine and prints files and MB per second, beside a plain copy of
# the same files under Wine in the same run: CD media for the benchmark corpus (up to 2000 files, about
# 200 MB) built around the real setup program, run with -S in a scratch prefix.
# Arguments: the bench tree (with build_bench and the corpus), the setup program's image TSS.dat.
set -eu
bench=$(cd "$1" && pwd)
raw="$(cd "$(dirname "$2")" && pwd)/$(basename "$2")"
work="$bench/install-bench"
corpus="$bench/bench/cabinet-bench/corpus"
winpath() { echo "Z:$1" | tr / '\\'; }
now() { date +%s.%N; }
since() { awk -v a="$(now)" -v b="$1" 'BEGIN { print a - b }'; }
rm -rf "$work"
mkdir -p "$work"
export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
trap 'wineserver -k >/dev/null 2>&1 || true; rm -rf "$work"' EXIT

"$bench/bench/build_bench" "$(winpath "$raw")" "$(winpath "$work/media")" >"$work/build.log" ||
    { cat "$work/build.log"; exit 1; }
head -1 "$work/build.log"
wineboot -i >/dev/null 2>&1 </dev/null
wineserver -w
(wineserver -p >/dev/null 2>&1 </dev/null &)
wine cmd.exe /c exit >/dev/null 2>&1 </dev/null

start=$(now)
wine "$(winpath "$work/media/CD/CD1/Setup.exe")" -S >/dev/null 2>&1 </dev/null
install=$(since "$start")
installed="$WINEPREFIX/drive_c/Program Files/Tessaro Bench"
files=$(find "$installed" -type f ! -name tsdb.dat | wc -l)
bytes=$(find "$installed" -type f ! -name tsdb.dat -printf '%s\n' | awk '{s += $1} END {print s + 0}')

start=$(now)
wine cmd.exe /c xcopy /E /I /Q /Y "$(winpath "$corpus")" 'C:\plain-copy' >/dev/null 2>&1 </dev/null
copy=$(since "$start")
copied=$(find "$WINEPREFIX/drive_c/plain-copy" -type f | wc -l)
copiedBytes=$(find "$WINEPREFIX/drive_c/plain-copy" -type f -printf '%s\n' | awk '{s += $1} END {print s + 0}')

awk -v files="$files" -v bytes="$bytes" -v t="$install" -v cfiles="$copied" -v cbytes="$copiedBytes" -v c="$copy" '
BEGIN {
    printf "silent installation: %d files, %.1f MB in %.2f s: %.0f files/s, %.1f MB/s\n",
        files, bytes / 1e6, t, files / t, bytes / 1e6 / t
    printf "xcopy under Wine:    %d files, %.1f MB in %.2f s: %.0f files/s, %.1f MB/s\n",
        cfiles, cbytes / 1e6, c, cfiles / c, cbytes / 1e6 / c
    printf "installation throughput / plain copy throughput: %.2f (files), %.2f (MB)\n",
        (files / t) / (cfiles / c), (bytes / t) / (cbytes / c)
}'
