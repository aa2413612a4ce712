#!/bin/sh
# tessaro cab: a floppy set made, listed and extracted back from its disk folders; cabextract reads the
# set; exit codes 0 for success, 1 for missing, damaged or hostile input, 2 for usage.
set -u
tessaro=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

expect() {
    want=$1; shift
    "$tessaro" "$@" >"$dir/out" 2>"$dir/err"
    got=$?
    if [ "$got" != "$want" ]; then
        fail "tessaro $* exited $got, expected $want"; cat "$dir/err"
    elif [ "$want" != 0 ] && ! grep -q '^tessaro: ' "$dir/err"; then
        fail "tessaro $* gave no message"
    fi
}

mkdir -p "$dir/in/docs"
head -c 700000 /dev/urandom >"$dir/in/noise.bin"
seq 1 60000 >"$dir/in/docs/numbers.txt"
: >"$dir/in/empty.txt"

expect 0 cab create --disk-size 250000 --reserve 100000 --disk-pattern 'Disk%02d' --cab-pattern 'TSData%d.cab' \
    "$dir/media" "$dir/in"
[ -f "$dir/media/Disk01/TSData1.cab" ] && [ -f "$dir/media/Disk02/TSData2.cab" ] || fail "disk folders missing"
size1=$(stat -c %s "$dir/media/Disk01/TSData1.cab")
[ "$size1" -le 150000 ] || fail "first cabinet has $size1 bytes, more than 250000 - 100000"

expect 0 cab list "$dir/media/Disk01/TSData1.cab" "$dir/media/Disk03/TSData3.cab"
grep -q 'next: TSData2.cab (disk Disk02)' "$dir/out" || fail "list does not name the next cabinet"
grep -q 'noise.bin  (continued from the previous cabinet)  (continued in the next cabinet)' "$dir/out" ||
    fail "list does not show noise.bin continued through cabinet 3"

expect 0 cab extract -C "$dir/back" "$dir/media/Disk01/TSData1.cab"
diff -r "$dir/in" "$dir/back" >/dev/null || fail "extracted files differ from the input"

mkdir "$dir/flat"
cp "$dir"/media/Disk*/*.cab "$dir/flat/"
cabextract -q -t "$dir/flat/TSData1.cab" >/dev/null 2>&1 || fail "cabextract -t refuses the set"

# The third cabinet alone: noise.bin, which began on an earlier disk, is skipped, and the set's next
# cabinet cannot be found.
[ -f "$dir/media/Disk04/TSData4.cab" ] || fail "the set has no fourth cabinet"
mkdir "$dir/alone"
cp "$dir/media/Disk03/TSData3.cab" "$dir/alone/"
expect 1 cab extract -C "$dir/alone-out" "$dir/alone/TSData3.cab"
grep -q 'Cannot find the next cabinet TSData4.cab (disk Disk04)!' "$dir/err" || fail "missing fourth cabinet not reported"
[ ! -e "$dir/alone-out/noise.bin" ] || fail "noise.bin extracted from its third cabinet alone"

head -c 3000 /dev/urandom >"$dir/noise.cab"
head -c 200 "$dir/media/Disk01/TSData1.cab" >"$dir/truncated.cab"
expect 1 cab list "$dir/missing.cab"
expect 1 cab list "$dir/noise.cab"
expect 1 cab list "$dir/truncated.cab"
expect 1 cab extract -C "$dir/x" "$dir/missing.cab"
expect 1 cab extract -C "$dir/x" "$dir/noise.cab"
expect 1 cab extract -C "$dir/x" "$dir/truncated.cab"
expect 1 cab create "$dir/media2" "$dir/no-such-file"
expect 2 cab
expect 2 cab frobnicate
expect 2 cab create --disk-size lots "$dir/m" "$dir/in"
expect 2 cab extract

[ "$failures" = 0 ] && echo "cab command: all as expected"
exit "$failures"
