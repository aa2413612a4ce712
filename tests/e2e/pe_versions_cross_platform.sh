#!/bin/sh
# The file versions of the DLLs and programs that Wine ships, as our own PE reader finds them natively
# and as the Windows version API finds them under Wine: the two lists must be the same.
set -u
native_tool=$1
windows_tool=$2
wine_run=$3
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
folders='Z:\usr\lib\x86_64-linux-gnu\wine\x86_64-windows Z:\usr\lib\x86_64-linux-gnu\wine\i386-windows'

# shellcheck disable=SC2086
"$native_tool" $folders >"$dir/native.txt" || { echo "FAIL: native listing exited $?"; exit 1; }
# shellcheck disable=SC2086
"$wine_run" "$windows_tool" $folders 2>/dev/null | tr -d '\r' >"$dir/windows.txt"
files=$(wc -l <"$dir/windows.txt")
versions=$(grep -vc ' none none$' "$dir/windows.txt")
if [ "$files" -lt 300 ] || [ "$versions" -lt 100 ]; then
    echo "FAIL: the Windows side listed $files files, $versions with a version"
    exit 1
fi
if ! diff "$dir/windows.txt" "$dir/native.txt" >"$dir/diff"; then
    echo "FAIL: our reader and the version API disagree:"
    head -40 "$dir/diff"
    exit 1
fi
echo "pe_versions_cross_platform: $files files agree, $versions with a version"
