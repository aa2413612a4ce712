#!/bin/sh
# The same calls write the same archive on Linux and on Windows (under Wine), and tessaro dump prints
# the same tree for both.
set -eu
native_tool=$1   # native write_sample_archive
windows_tool=$2  # write_sample_archive.exe from the x86_64 MinGW tree
tessaro=$3
wine_run=$4

dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
mkdir "$dir/linux" "$dir/windows"

"$native_tool" "$dir/linux/sample.dat"
"$wine_run" "$windows_tool" "Z:$(echo "$dir/windows/sample.dat" | tr / '\\')" </dev/null

cmp "$dir/linux/sample.dat" "$dir/windows/sample.dat"
"$tessaro" dump "$dir/linux/sample.dat" >"$dir/linux.txt"
"$tessaro" dump "$dir/windows/sample.dat" >"$dir/windows.txt"
diff "$dir/linux.txt" "$dir/windows.txt"
grep -q 'License1.txt' "$dir/linux.txt"
echo "identical archives ($(wc -c <"$dir/linux.txt") bytes of dump) from Linux and Windows"
