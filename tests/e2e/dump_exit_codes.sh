#!/bin/sh
# tessaro dump: 0 for an archive, 1 for a file that is missing, not an archive or damaged, 2 for usage.
set -u
tessaro=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
failures=0

expect() {
    want=$1; shift
    "$tessaro" "$@" >"$dir/out" 2>"$dir/err"
    got=$?
    if [ "$got" != "$want" ]; then
        echo "FAIL: tessaro $* exited $got, expected $want"; cat "$dir/err"; failures=$((failures + 1))
    elif [ "$want" != 0 ] && ! grep -q '^tessaro: ' "$dir/err"; then
        echo "FAIL: tessaro $* gave no message"; failures=$((failures + 1))
    fi
}

printf '\006TSFile\000\000\000\000\000\000\000\000' >"$dir/empty.tsp"
head -c 3000 /dev/urandom >"$dir/noise.bin"
printf '\006TSFile\001\000\000\000\377\000\000\000' >"$dir/truncated.tsp"

expect 0 dump "$dir/empty.tsp"
expect 1 dump "$dir/missing.tsp"
expect 1 dump "$dir/noise.bin"
expect 1 dump "$dir/truncated.tsp"
expect 1 dump "$dir"
expect 2 dump
expect 2 dump a b
expect 2 frobnicate
expect 2

[ "$failures" = 0 ] && echo "dump exit codes: all as expected"
exit "$failures"
