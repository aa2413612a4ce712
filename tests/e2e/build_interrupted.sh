#!/bin/sh
# A build that is stopped leaves nothing behind: a build killed by SIGTERM while it compresses, and one that
# reaches the process's file-size limit, each leave the system's temporary folder as it was and no output
# folder, staging folder or work file; the file-size limit ends with a message that names it.
# Arguments: tessaro, make_example.
set -u
tessaro=$1
make_example=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

# Random bytes do not compress: the cabinet takes a while and grows as large as its source.
head -c 40000000 /dev/urandom >"$work/Widget.exe"
head -c 4000 /dev/urandom >"$work/TSS.dat"
"$make_example" "$work/example" "$work/Widget.exe" >/dev/null || fail "make_example"
mkdir "$work/tmp"
export TMPDIR="$work/tmp"

# Stopped by a signal in the middle of the data cabinet.
"$tessaro" build "$work/example/widget.tsp" --out "$work/out" --raw-setup "$work/TSS.dat" >"$work/term.log" 2>&1 &
pid=$!
waited=0
until [ -n "$(find "$work/out" "$work/tmp" -type f -size +1M 2>/dev/null | head -1)" ]; do
    kill -0 $pid 2>/dev/null || fail "the build ended before it could be stopped: $(cat "$work/term.log")"
    [ $waited -lt 1200 ] || fail "the build wrote no large file within 60 s"
    sleep 0.05
    waited=$((waited + 1))
done
kill -TERM $pid
wait $pid
code=$?
[ $code -eq 143 ] || fail "the stopped build ended with $code: $(cat "$work/term.log")"
[ -z "$(ls -A "$work/tmp")" ] || fail "the stopped build left in the temporary folder: $(ls -A "$work/tmp")"
[ ! -e "$work/out" ] || fail "the stopped build left $(find "$work/out" | tr '\n' ' ')"

# Stopped by the file-size limit (a few MB, far below the cabinet's size): a message, the error exit code.
(ulimit -f 8000 && exec "$tessaro" build "$work/example/widget.tsp" --out "$work/out" --raw-setup "$work/TSS.dat") \
    >"$work/limit.log" 2>&1
code=$?
[ $code -eq 1 ] || fail "the build over the file-size limit ended with $code: $(cat "$work/limit.log")"
grep -q "File too large" "$work/limit.log" || fail "the file-size limit was not named: $(cat "$work/limit.log")"
[ -z "$(ls -A "$work/tmp")" ] || fail "the build over the limit left in the temporary folder: $(ls -A "$work/tmp")"
[ ! -e "$work/out" ] || fail "the build over the limit left $(find "$work/out" | tr '\n' ' ')"

# Afterwards the same build succeeds.
"$tessaro" build "$work/example/widget.tsp" --out "$work/out" --raw-setup "$work/TSS.dat" >"$work/ok.log" 2>&1 ||
    fail "the build after the stopped ones failed: $(cat "$work/ok.log")"
[ -z "$(ls -A "$work/tmp")" ] || fail "the whole build left in the temporary folder: $(ls -A "$work/tmp")"
echo "build_interrupted: stopped builds left nothing behind"
