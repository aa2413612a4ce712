#!/bin/sh
# The authoring program with a project in its text form, worked as a person would: File > Open offers both
# forms; a broken text is refused with the message a compiler prints and the open project stays as it was;
# a text project opens, an edit is saved back as text changing that one line alone; Save As writes the form
# of the file type chosen (the type of the open document proposed); the recent-file list opens text projects
# too; what was saved as text and as a project file is the same project; a broken text named on the command
# line leaves a new project.
# Arguments: the x86_64 tree, the native tessaro, the native make_example, the wine runner.
tree=$1
tessaro=$2
make_example=$3
wine_run=$4
driver="$tree/tests/ui/uidriver.exe"
. "$(dirname "$0")/ui_test.sh"

program="$tree/author/Tessaro.exe"
ex="$work/example"
"$make_example" "$ex" "$tree/examples/Widget.exe" >/dev/null || fail "make_example"
"$tessaro" export "$ex/widget.tsp" -o "$ex/widget.toml" >/dev/null || fail "export of the example"
cp "$ex/widget.toml" "$ex/original.toml"
sed 's/^manufacturer = /manufactuer = /' "$ex/widget.toml" >"$ex/broken.toml"
line=$(grep -n '^manufactuer' "$ex/broken.toml" | cut -d: -f1)

# The project file is open with an unsaved edit; File > Open shows both forms first and is given the broken
# text (its changes not to be saved): the message names the place of the fault, and the open project is as
# it was, the edit and its unsaved state included.
T="Tessaro - widget.tsp"
start "$program" "$(winpath "$ex/widget.tsp")"
drive "wait|$T" "expect|$T|1101|Widget" "type|$T|1101|Widget Pro" || fail "the example did not open"
drive "command|$T|40002" "wait|Tessaro" "expect|Tessaro|65535|Save changes to \"widget.tsp\"?" "click|Tessaro|7" \
    "gone|Tessaro" "wait|Open" "expect|Open|1136|Tessaro Projects (*.tsp;*.toml)" \
    "type|Open|1148|$(winpath "$ex/broken.toml")" "click|Open|1" "gone|Open" "wait|Tessaro" \
    "expect|Tessaro|65535|$(winpath "$ex/broken.toml"):$line:1: error: unknown key \"manufactuer\"; did you mean \"manufacturer\"?" \
    "click|Tessaro|1" "gone|Tessaro" "wait|$T" "expect|$T|1101|Widget Pro" \
    "expect|$T|1105|Aldmere Example Software" || fail "a broken text file through File > Open"
drive "menu|$T|0" | tr -d '\r' | grep -q 'broken' && fail "the broken text entered the recent-file list"

# The text project opens (the edit still asks to be saved, and is dropped); the version edited and saved:
# the file is still text, with that one line changed.
drive "command|$T|40002" "wait|Tessaro" "expect|Tessaro|65535|Save changes to \"widget.tsp\"?" "click|Tessaro|7" \
    "gone|Tessaro" "wait|Open" "type|Open|1148|$(winpath "$ex/widget.toml")" "click|Open|1" "gone|Open" \
    "wait|Tessaro - widget.toml" "expect|Tessaro - widget.toml|1101|Widget" \
    "expect|Tessaro - widget.toml|1104|1.0" || fail "opening the text project"
T="Tessaro - widget.toml"
drive "type|$T|1104|1.4.2" "command|$T|40003" || fail "saving the text project"
for _ in $(seq 1 50); do
    grep -q "^version = '1.4.2'$" "$ex/widget.toml" && break
    sleep 0.2
done
version_line=$(grep -n "^version = '1.0'$" "$ex/original.toml" | cut -d: -f1)
printf '%sc%s\n< %s\n---\n> %s\n' "$version_line" "$version_line" "version = '1.0'" "version = '1.4.2'" \
    >"$work/expected.diff"
diff "$ex/original.toml" "$ex/widget.toml" >"$work/saved.diff"
cmp -s "$work/saved.diff" "$work/expected.diff" || fail "Save of the text project changed: $(cat "$work/saved.diff")"

# Save As proposes the text type for a text project; the project-file type chosen writes a project file,
# and the text type a text beside it that is the same as the saved one, even under a name typed with the
# project file's extension.
drive "command|$T|40004" "wait|Save As" "expect|Save As|1148|widget.toml" \
    "expect|Save As|1136|Tessaro Text Files (*.toml)" "select|Save As|1136|0" \
    "type|Save As|1148|$(winpath "$ex/copy")" "click|Save As|1" "gone|Save As" "wait|Tessaro - copy.tsp" ||
    fail "Save As a project file"
"$tessaro" dump "$ex/copy.tsp" >"$work/copy.dump" 2>&1 || fail "Save As did not write a project file"
grep -q 'ProductVersion = "1.4.2"' "$work/copy.dump" || fail "the project file lacks the edit"
drive "command|Tessaro - copy.tsp|40004" "wait|Save As" "expect|Save As|1136|Tessaro Files (*.tsp)" \
    "select|Save As|1136|1" "type|Save As|1148|$(winpath "$ex/copy2.tsp")" "click|Save As|1" "gone|Save As" \
    "wait|Tessaro - copy2.toml" || fail "Save As a text"
cmp -s "$ex/widget.toml" "$ex/copy2.toml" || fail "the text saved by Save As differs from the one saved by Save"
"$tessaro" import "$ex/copy2.toml" -o "$ex/copy2.tsp" >/dev/null || fail "import of the saved text"
"$tessaro" dump "$ex/copy2.tsp" | diff -u "$work/copy.dump" - || fail "the text and the project file differ"

# The recent-file list names the text projects and opens them.
drive "menu|Tessaro - copy2.toml|0" | tr -d '\r' | sed -n 's/^3300[1-3] //p' >"$work/menu"
printf '&%d Z:\\...\\example\\%s\n' 1 copy2.toml 2 copy.tsp 3 widget.toml >"$work/menu.expected"
cmp -s "$work/menu" "$work/menu.expected" ||
    fail "the recent files are \"$(cat "$work/menu")\", expected \"$(cat "$work/menu.expected")\""
drive "command|Tessaro - copy2.toml|33003" "wait|Tessaro - widget.toml" "expect|Tessaro - widget.toml|1104|1.4.2" ||
    fail "the text project from the recent-file list"
drive "command|Tessaro - widget.toml|40006" "gone|Tessaro - widget.toml" || fail "Exit"
ended || fail "the program did not end after Exit"

# A broken text named on the command line: the message, and the program goes on with a new project.
start "$program" "$(winpath "$ex/broken.toml")"
drive "wait|Tessaro" \
    "expect|Tessaro|65535|$(winpath "$ex/broken.toml"):$line:1: error: unknown key \"manufactuer\"; did you mean \"manufacturer\"?" \
    "click|Tessaro|1" "gone|Tessaro" "wait|Tessaro - Project1" || fail "a broken text on the command line"
drive "command|Tessaro - Project1|40006" "gone|Tessaro - Project1" || fail "Exit after the broken text"
ended || fail "the program did not end after the broken text"

finish "text project"
