#!/bin/sh
# End-to-end test of tessaro export and tessaro import: for the project with every record type and for the
# bundled example, export then import gives a project whose dump equals the original's, and exporting that
# again gives the same text byte for byte. The bundled example's text is that example. A broken text file
# ends with exit 1 and writes nothing.
# The example of the format's reference page, written by hand, builds.
# Arguments: tessaro, write_full_project, make_example, the reference page.
set -u
tessaro=$1
write_full_project=$2
make_example=$3
reference=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

round_trip() {  # folder, project file name
    dir=$1
    name=$2
    "$tessaro" export "$dir/$name.tsp" -o "$dir/$name.toml" >/dev/null || fail "export $name"
    "$tessaro" import "$dir/$name.toml" -o "$dir/$name-again.tsp" >/dev/null || fail "import $name"
    "$tessaro" dump "$dir/$name.tsp" >"$dir/$name.dump" || fail "dump $name"
    "$tessaro" dump "$dir/$name-again.tsp" >"$dir/$name-again.dump" || fail "dump $name-again"
    diff -u "$dir/$name.dump" "$dir/$name-again.dump" || fail "$name: the imported project differs"
    "$tessaro" export "$dir/$name-again.tsp" -o "$dir/$name-again.toml" >/dev/null || fail "export $name-again"
    cmp "$dir/$name.toml" "$dir/$name-again.toml" || fail "$name: the second export differs"
}

mkdir "$work/full"
"$write_full_project" "$work/full" || fail "write_full_project"
round_trip "$work/full" full
# The full project's text names its sources relative to it and refers by path, never by position.
grep -q "^source = 'app.exe'$" "$work/full/full.toml" || fail "source paths are not relative"
grep -q "^target = '<Target Folder>\\\\Bin\\\\app.exe'$" "$work/full/full.toml" || fail "references are not paths"

head -c 5000 /dev/urandom >"$work/Widget.exe"
"$make_example" "$work/example" "$work/Widget.exe" >/dev/null || fail "make_example"
round_trip "$work/example" widget
"$make_example" "$work/settings" "$work/Widget.exe" --settings-only >/dev/null || fail "make_example --settings-only"
round_trip "$work/settings" settings

# The bundled example's text project is the example the model's API writes, in the writer's own form: beside
# the same files it gives the same project (but for its fixed product GUID), and it is exported unchanged.
bundled="$(dirname "$0")/../../examples/widget.toml"
cp "$bundled" "$work/example/bundled.toml"
"$tessaro" import "$work/example/bundled.toml" >/dev/null || fail "import of the bundled example"
"$tessaro" dump "$work/example/bundled.tsp" | grep -v '^    ProductID = ' >"$work/example/bundled.dump"
grep -v '^    ProductID = ' "$work/example/widget.dump" | diff -u - "$work/example/bundled.dump" ||
    fail "the bundled example's text and make_example's project differ"
"$tessaro" export "$work/example/bundled.tsp" -o "$work/example/bundled-again.toml" >/dev/null || fail "export bundled"
cmp "$bundled" "$work/example/bundled-again.toml" || fail "the bundled example is not in the writer's form"

# Moved elsewhere with its sources, the text still finds them: relative paths follow the text file.
mkdir "$work/moved"
cp -r "$work/full"/*.exe "$work/full"/*.dll "$work/full"/*.txt "$work/full"/*.dat "$work/full"/*.pdf "$work/moved/"
cp "$work/full/full.toml" "$work/moved/"
"$tessaro" import "$work/moved/full.toml" >/dev/null || fail "import of the moved text"
"$tessaro" dump "$work/moved/full.tsp" | grep -q 'FileSize = 18' || fail "the moved text lost its sources' sizes"

# A broken file: the message as a compiler prints it, exit 1, nothing written.
sed '0,/^name = .Acme Writer.$/s//nmae = "Acme Writer"/' "$work/full/full.toml" >"$work/broken.toml"
"$tessaro" import "$work/broken.toml" -o "$work/broken.tsp" 2>"$work/broken.err"
status=$?
[ $status -eq 1 ] || fail "a broken file exits with $status"
[ ! -e "$work/broken.tsp" ] || fail "a broken file wrote a project"
line=$(grep -n '^nmae' "$work/broken.toml" | cut -d: -f1)
grep -qx "$work/broken.toml:$line:1: error: unknown key \"nmae\"; did you mean \"name\"?" "$work/broken.err" ||
    fail "unexpected message: $(cat "$work/broken.err")"

# The kinds of broken file, each made from the full project's text: a syntax error, an unknown key (with the
# nearest known key), a reference that names nothing, a duplicate name in one folder. Each is reported at its
# place as a compiler reports it, ends with exit 1 and writes nothing.
T="'<Target Folder>"
broken_case() {  # name, sed script making it, the line to find in it, column, message
    sed "$2" "$work/full/full.toml" >"$work/$1.toml"
    at=$(grep -n -x -F "$3" "$work/$1.toml" | tail -1 | cut -d: -f1)
    [ -n "$at" ] || fail "$1: the broken line is missing"
    "$tessaro" import "$work/$1.toml" -o "$work/$1.tsp" >/dev/null 2>"$work/$1.err"
    status=$?
    [ $status -eq 1 ] || fail "$1: exit $status"
    [ ! -e "$work/$1.tsp" ] || fail "$1: a project was written"
    [ "$(cat "$work/$1.err")" = "$work/$1.toml:$at:$4: error: $5" ] || fail "$1: unexpected message: $(cat "$work/$1.err")"
}
broken_case syntax "0,/^name = 'Acme Writer'$/s//name = 'Acme Writer/" "name = 'Acme Writer" 20 \
    "Error while parsing literal string: control characters other than TAB (U+0009) are explicitly prohibited"
broken_case unknown "s/^support_phone = /suport_phone = /" "$(grep '^support_phone = ' "$work/full/full.toml" |
    sed 's/^support_phone/suport_phone/')" 1 'unknown key "suport_phone"; did you mean "support_phone"?'
broken_case reference "0,/^target = $T\\\\Bin\\\\app.exe'$/s//target = $T\\\\Bin\\\\gone.exe'/" \
    "target = $T\\Bin\\gone.exe'" 10 "no file \"<Target Folder>\\Bin\\gone.exe\""
broken_case duplicate "\$a [[folder]]\\npath = $T\\\\BIN'" "path = $T\\BIN'" 8 \
    "the folder \"<Target Folder>\" already holds a folder named \"BIN\""

# check and build take the text form; --set stamps product and media fields for one run only.
head -c 4000 /dev/urandom >"$work/TSS.dat"
"$tessaro" build "$work/example/widget.toml" --out "$work/out" --raw-setup "$work/TSS.dat" \
    --set product.version=1.4.2 --set media.autorun=false >"$work/build.log" 2>&1 ||
    { cat "$work/build.log"; fail "build of the text project"; }
"$tessaro" dump "$work/out/CD/CD1/tsdb.dat" | grep -q 'ProductVersion = "1.4.2"' || fail "--set product.version"
[ ! -e "$work/out/CD/CD1/autorun.inf" ] || fail "--set media.autorun=false"
grep -q "^version = '1.4.2'" "$work/example/widget.toml" && fail "--set changed the text file"
"$tessaro" check "$work/example/widget.tsp" --set product.name= >"$work/check.log"
[ $? -eq 1 ] || fail "a check with an emptied product name"
grep -qx 'error: No Product Name has been defined!' "$work/check.log" || fail "--set on a project file"
"$tessaro" check "$work/example/widget.tsp" --set product.vresion=2 2>"$work/set.err"
[ $? -eq 2 ] || fail "an unknown --set field"
grep -qx 'error: --set: no product or media field "product.vresion"; did you mean "product.version"?' \
    "$work/set.err" || fail "unexpected message: $(cat "$work/set.err")"
"$tessaro" build "$work/broken.toml" --out "$work/never" --raw-setup "$work/TSS.dat" 2>"$work/build.err"
[ $? -eq 2 ] || fail "a build of a broken text file"
[ ! -e "$work/never" ] || fail "a build of a broken text file wrote the output folder"
grep -q "broken.toml:$line:1: error: unknown key" "$work/build.err" || fail "build message: $(cat "$work/build.err")"

mkdir -p "$work/doc/files"
sed -n '/^```toml$/,/^```$/p' "$reference" | sed '1d;$d' >"$work/doc/widget.toml"
[ -s "$work/doc/widget.toml" ] || fail "no example in $reference"
head -c 20000 /dev/urandom >"$work/doc/files/Widget.exe"
echo "Read me" >"$work/doc/files/readme.txt"
echo "Licence" >"$work/doc/files/license.txt"
"$tessaro" build "$work/doc/widget.toml" --raw-setup "$work/TSS.dat" >"$work/doc.log" 2>&1 ||
    { cat "$work/doc.log"; fail "build of the reference example"; }
tail -1 "$work/doc.log" | grep -qx 'Finished 0 Error, 0 Warning.' || fail "reference example: $(tail -3 "$work/doc.log")"
[ -f "$work/doc/media/CD/CD1/TSData1.cab" ] || fail "the reference example's media"
echo "text form: all checks passed"
