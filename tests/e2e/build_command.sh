#!/bin/sh
# End-to-end test of tessaro check and tessaro build on the bundled example: every media type built, every
# data cabinet accepted by cabextract with files equal to their sources, the single-file payload split back,
# exit codes, a failed check that writes nothing, and a source that is not a regular file.
# Arguments: tessaro, make_example.
set -u
tessaro=$1
make_example=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

# Any file serves as the program and as the raw setup image; make the program big enough to span disks.
head -c 800000 /dev/urandom >"$work/Widget.exe"
head -c 4000 /dev/urandom >"$work/TSS.dat"

# Each data cabinet set passes cabextract -t; gathered into one folder it extracts to the sources.
check_cabinets() {  # media folder, extraction folder
    all="$2.cabs"
    mkdir -p "$all" "$2"
    found=0
    for cab in $(find "$1" -name 'TSData*.cab' | sort); do
        cp "$cab" "$all/"
        found=$((found + 1))
    done
    # Side by side, each cabinet of a set is tested with its neighbours.
    for cab in "$all"/*; do
        cabextract -q -t "$cab" >/dev/null 2>&1 || fail "cabextract -t rejects $cab"
    done
    [ $found -gt 0 ] || fail "no data cabinet in $1"
    first=$(ls "$all" | sort | head -1)
    (cd "$2" && cabextract -q "$all/$first") >/dev/null 2>&1 || fail "cabextract cannot extract $1"
    for name in Widget.exe readme.txt widget-help.txt logo.bmp; do
        cmp -s "$2/$name" "$3/files/$name" || fail "$name from $1 differs from its source"
    done
}

for media in cd floppy custom single; do
    flag=""
    [ $media = cd ] || flag="--$media"
    [ $media = single ] && flag="--single-file"
    "$make_example" "$work/$media" "$work/Widget.exe" $flag >/dev/null || fail "make_example $media"
    "$tessaro" build "$work/$media/widget.tsp" --out "$work/$media/out" --raw-setup "$work/TSS.dat" \
        >"$work/$media.log" 2>&1 || { cat "$work/$media.log"; fail "build of $media"; }
    tail -1 "$work/$media.log" | grep -qx 'Finished 0 Error, 0 Warning.' || fail "summary of $media"
    # The same project from the same sources, built again a second later into another folder, gives the
    # same media byte for byte.
    sleep 1
    "$tessaro" build "$work/$media/widget.tsp" --out "$work/$media/again" --raw-setup "$work/TSS.dat" \
        >/dev/null 2>&1 || fail "second build of $media"
    diff -r "$work/$media/out" "$work/$media/again" >/dev/null || fail "two builds of $media differ:
$(cd "$work/$media" && for f in $(find out -type f); do cmp "$f" "again/${f#out/}"; done 2>&1)"
    case $media in
        cd)
            root="$work/cd/out/CD/CD1"
            for f in Setup.exe tsdb.dat autorun.inf CDIcon.ico readme.txt TSData1.cab; do
                [ -f "$root/$f" ] || fail "CD lacks $f"
            done
            check_cabinets "$work/cd/out/CD" "$work/cd/x" "$work/cd"
            ;;
        floppy)
            [ -d "$work/floppy/out/Floppy/Disk02" ] || fail "the floppy set has one disk only"
            [ ! -e "$work/floppy/out/Floppy/Disk01/autorun.inf" ] || fail "a floppy has autorun.inf"
            check_cabinets "$work/floppy/out/Floppy" "$work/floppy/x" "$work/floppy"
            ;;
        custom)
            [ -f "$work/custom/out/Custom/Disk1/TSData1.cab" ] || fail "custom set"
            check_cabinets "$work/custom/out/Custom" "$work/custom/x" "$work/custom"
            ;;
        single)
            out="$work/single/out"
            [ "$(ls "$out")" = "Setup.exe" ] || fail "single-file media hold more than Setup.exe: $(ls "$out")"
            size=$(stat -c %s "$out/Setup.exe")
            image=$(tail -c 4 "$out/Setup.exe" | od -An -tu4 | tr -d ' ')
            [ "$image" = 4000 ] || fail "trailer names $image bytes"
            [ "$(tail -c 8 "$out/Setup.exe" | head -c 4 | od -An -tx1 | tr -d ' ')" = 4b5a5601 ] ||
                fail "no checked KZV tag"
            dblen=$(tail -c +$((image + 1)) "$out/Setup.exe" | head -c 4 | od -An -tu4 | tr -d ' ')
            start=$((image + 4 + dblen))
            # The CRC-32 before the trailer covers the payload from the database's length to the cabinet's end.
            python3 -c 'import sys, zlib, struct
data = open(sys.argv[1], "rb").read()
n = int(sys.argv[2])
stored = struct.unpack("<I", data[-12:-8])[0]
sys.exit(0 if zlib.crc32(data[n:-12]) == stored else 1)' "$out/Setup.exe" "$image" || fail "payload checksum"
            mkdir -p "$work/single/media"
            tail -c +$((start + 1)) "$out/Setup.exe" | head -c $((size - 12 - start)) >"$work/single/media/TSData.cab"
            check_cabinets "$work/single/media" "$work/single/x" "$work/single"
            ;;
    esac
done

# Exit codes: a check with errors is 1 and writes nothing; usage and unreadable projects are 2.
"$tessaro" new "$work/new.tsp" >/dev/null
"$tessaro" check "$work/new.tsp" >"$work/check.log"; [ $? -eq 1 ] || fail "check of a new project"
grep -qx 'error: No Product Name has been defined!' "$work/check.log" || fail "check output"
"$tessaro" build "$work/new.tsp" --out "$work/never" --raw-setup "$work/TSS.dat" >/dev/null
[ $? -eq 1 ] || fail "build with check errors"
[ ! -e "$work/never" ] || fail "a failed check wrote the output folder"
"$tessaro" check "$work/cd/widget.tsp" >/dev/null || fail "check of the example"

# A project without destination: the check names it, a build without --out writes nothing, --out is the
# destination.
"$make_example" "$work/nodest" "$work/Widget.exe" --no-destination >/dev/null || fail "make_example --no-destination"
(cd "$work/nodest" && "$tessaro" check widget.tsp >"$work/nodest.log" 2>&1); [ $? -eq 1 ] || fail "check without destination"
grep -qx 'error: No Destination Directory has been defined!' "$work/nodest.log" || fail "no destination: $(cat "$work/nodest.log")"
(cd "$work/nodest" && "$tessaro" build widget.tsp --raw-setup "$work/TSS.dat" >"$work/nodest.log" 2>&1)
[ $? -eq 1 ] || fail "build without destination"
grep -q 'Cannot create the folder' "$work/nodest.log" && fail "build without destination: $(cat "$work/nodest.log")"
[ "$(ls "$work/nodest")" = "files
widget.tsp" ] || fail "a build without destination wrote: $(ls "$work/nodest")"
"$tessaro" check "$work/nodest/widget.tsp" --out "$work/nodest/out" >/dev/null || fail "check --out"
"$tessaro" build "$work/nodest/widget.tsp" --out "$work/nodest/out" --raw-setup "$work/TSS.dat" >/dev/null ||
    fail "build --out without destination"
[ -f "$work/nodest/out/CD/CD1/Setup.exe" ] || fail "build --out wrote no Setup.exe"

# A rebuild keeps the user's files in the media; a build that fails (no raw setup image) changes nothing.
echo mine >"$work/nodest/out/CD/CD1/mine.txt"
"$tessaro" build "$work/nodest/widget.tsp" --out "$work/nodest/out" --raw-setup "$work/TSS.dat" >/dev/null ||
    fail "rebuild"
[ -f "$work/nodest/out/CD/CD1/mine.txt" ] || fail "a rebuild removed the user's file"
before=$(cd "$work/nodest/out" && find . -type f -exec md5sum {} + | sort)
"$tessaro" build "$work/nodest/widget.tsp" --out "$work/nodest/out" --raw-setup "$work/none.dat" >"$work/raw.log"
[ $? -eq 1 ] || fail "build without raw setup image"
# Messages name this machine's files by their POSIX paths.
grep -qxF "error: Cannot find the file \"$work/none.dat\"!" "$work/raw.log" ||
    fail "raw setup message: $(cat "$work/raw.log")"
grep -q '^Compressing' "$work/raw.log" && fail "compressed before the raw setup image was found"
[ "$(cd "$work/nodest/out" && find . -type f -exec md5sum {} + | sort)" = "$before" ] ||
    fail "a failed build changed the media"
"$tessaro" build >/dev/null 2>&1; [ $? -eq 2 ] || fail "build without project"
"$tessaro" build "$work/missing.tsp" >/dev/null 2>&1; [ $? -eq 2 ] || fail "missing project"
head -c 100 /dev/urandom >"$work/junk.tsp"
"$tessaro" check "$work/junk.tsp" >/dev/null 2>&1; [ $? -eq 2 ] || fail "damaged project"
# A source that is a pipe (or any other non-regular file) is an error naming it, never a wait for a writer.
"$make_example" "$work/fifo" "$work/Widget.exe" >/dev/null || fail "make_example fifo"
rm "$work/fifo/files/readme.txt" && mkfifo "$work/fifo/files/readme.txt"
fifo_name="$work/fifo/files/readme.txt"
for command in check build; do
    raw=""
    [ $command = build ] && raw="--raw-setup $work/TSS.dat"
    # shellcheck disable=SC2086
    timeout 60 "$tessaro" $command "$work/fifo/widget.tsp" --out "$work/fifo/out" $raw >"$work/fifo.log" 2>&1
    code=$?
    [ $code -eq 1 ] || fail "$command with a pipe as a source ended with $code"
    grep -qxF "error: The file \"$fifo_name\" is not a regular file!" "$work/fifo.log" ||
        fail "$command with a pipe as a source: $(cat "$work/fifo.log")"
done
[ ! -e "$work/fifo/out" ] || fail "a build with a pipe as a source wrote its output folder"

# SOURCE_DATE_EPOCH: sources touched between two builds (as a new checkout does) still give the same media
# byte for byte, every media file and every cabinet entry dated at that time, and the database records no
# later time; a value that is no number of seconds is refused before anything is written.
epoch=1700000000
for run in 1 2; do
    touch -d "@$((epoch + 86400 * run))" "$work/cd/files/"*
    SOURCE_DATE_EPOCH=$epoch TZ=UTC "$tessaro" build "$work/cd/widget.tsp" --out "$work/epoch$run" \
        --raw-setup "$work/TSS.dat" >/dev/null 2>&1 || fail "build with SOURCE_DATE_EPOCH"
done
diff -r "$work/epoch1" "$work/epoch2" >/dev/null || fail "SOURCE_DATE_EPOCH builds differ"
late=$(find "$work/epoch1" -type f -newermt "@$epoch")
[ -z "$late" ] || fail "media files later than SOURCE_DATE_EPOCH: $late"
TZ=UTC cabextract -l "$work/epoch1/CD/CD1/TSData1.cab" | grep -q '14.11.2023 22:13:20 | Widget.exe' ||
    fail "cabinet entry times: $(TZ=UTC cabextract -l "$work/epoch1/CD/CD1/TSData1.cab")"
"$tessaro" dump "$work/epoch1/CD/CD1/tsdb.dat" | grep 'FileTime' | grep -v '2023-11-14 22:13:20' &&
    fail "the database records a time other than SOURCE_DATE_EPOCH"
SOURCE_DATE_EPOCH=yesterday "$tessaro" build "$work/cd/widget.tsp" --out "$work/epoch3" --raw-setup "$work/TSS.dat" \
    >"$work/epoch3.log" 2>&1
[ $? -eq 1 ] || fail "a SOURCE_DATE_EPOCH that is no number"
grep -q 'error: SOURCE_DATE_EPOCH is not a number of seconds since 1970' "$work/epoch3.log" || fail "$(cat "$work/epoch3.log")"
[ ! -e "$work/epoch3" ] || fail "a refused SOURCE_DATE_EPOCH wrote media"

# The command line for CI: --version, --help of every command (exit 0, that command's usage), -q keeping
# only findings and the summary, --werror failing on a warning before anything is written.
"$tessaro" --version | grep -q '^tessaro [0-9]' || fail "--version"
for command in dump new cab check build export import; do
    "$tessaro" $command --help >"$work/help.log" 2>&1 || fail "$command --help ended with $?"
    grep -q "^  $command " "$work/help.log" || fail "$command --help: $(cat "$work/help.log")"
done
"$tessaro" build "$work/cd/widget.tsp" --out "$work/quiet" --raw-setup "$work/TSS.dat" -q >"$work/quiet.log" ||
    fail "quiet build"
[ "$(cat "$work/quiet.log")" = 'Finished 0 Error, 0 Warning.' ] || fail "quiet build printed: $(cat "$work/quiet.log")"
"$tessaro" export "$work/cd/widget.tsp" -o "$work/cd/warned.toml" >/dev/null || fail "export"
printf "\n[[folder]]\npath = '<Target Folder>\\\\Empty'\n" >>"$work/cd/warned.toml"
"$tessaro" check "$work/cd/warned.toml" -q >"$work/warned.log" || fail "check with a warning failed without --werror"
grep -qx 'warning: No object is defined in the folder ".*Empty"!' "$work/warned.log" ||
    fail "the warning: $(cat "$work/warned.log")"
"$tessaro" check "$work/cd/warned.toml" --werror >/dev/null 2>&1; [ $? -eq 1 ] || fail "check --werror"
"$tessaro" build "$work/cd/warned.toml" --out "$work/werror" --raw-setup "$work/TSS.dat" --werror >/dev/null 2>&1
[ $? -eq 1 ] || fail "build --werror"
[ ! -e "$work/werror" ] || fail "build --werror wrote media"
echo "build_command: all media built and verified"
