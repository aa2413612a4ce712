#!/bin/sh
# Makes the registry key of tests/data/regedit-wine-export.reg with Wine's "reg add" in a prefix of its own,
# exports it with Wine's regedit and compares the file with the one the .reg importer's tests read, so that
# the importer is tested on what the registry editor really writes.
# Usage: regedit_export.sh WINE_RUN EXPECTED_REG
set -eu
wine_run=$1
expected=$2
work=$(mktemp -d /tmp/tessaro-regedit.XXXXXX)
export TESSARO_WINEPREFIX="$work/prefix"
cleanup() { WINEPREFIX="$TESSARO_WINEPREFIX" wineserver -k >/dev/null 2>&1 || true; rm -rf "$work"; }
trap cleanup EXIT
key='HKCU\Software\Tessaro Regedit Sample'
add() { "$wine_run" reg add "$@" /f >/dev/null 2>&1 || { echo "FAIL: reg add $*"; exit 1; }; }
add "$key" /ve /d "default text"
add "$key" /v Path /d 'C:\Program Files\A "quoted" name'
add "$key" /v Count /t REG_DWORD /d 31
add "$key" /v Minus /t REG_DWORD /d 4294967295
add "$key" /v Bytes /t REG_BINARY /d 001fabff10000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f
add "$key" /v Expand /t REG_EXPAND_SZ /d '%windir%\x'
add "$key" /v Multi /t REG_MULTI_SZ /d 'one\0two'
add "$key" /v Single /t REG_MULTI_SZ /d 'only'
add "$key\Sub\Deeper" /v "Caf$(printf '\303\251')" /d x
"$wine_run" regedit /e "Z:$work/export.reg" 'HKEY_CURRENT_USER\Software\Tessaro Regedit Sample' >/dev/null 2>&1
[ -s "$work/export.reg" ] || { echo "FAIL: regedit wrote no file"; exit 1; }
if ! cmp -s "$work/export.reg" "$expected"; then
    echo "FAIL: Wine's regedit writes another file than $expected:"
    iconv -f UTF-16 -t UTF-8 "$expected" >"$work/expected.txt"
    iconv -f UTF-16 -t UTF-8 "$work/export.reg" | diff "$work/expected.txt" - || true
    exit 1
fi
echo "PASS: Wine's regedit writes $expected byte for byte"
