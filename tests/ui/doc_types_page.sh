#!/bin/sh
# The authoring program's Doc Types page worked as a person would, with the keyboard and the mouse: a
# document type with two verbs made from nothing, through the messages of both dialogs in their order; the
# lists' menus with their disabled items; the icon preview with a file that holds no icon or fewer icons
# than the index; Cancel and an unchanged OK change nothing; a type takes more than ten verbs (the old limit); a
# clash of extensions is refused; saved, reopened and shown again; one verb deleted through the confirmation. The
# project is then built and installed silently, which registers the document type, and removed again (in the
# shared Wine prefix: the test runs alone).
# Arguments: the x86_64 tree, the native tree, the wine runner.
tree=$1
native=$2
wine_run=$3
driver="$tree/tests/ui/uidriver.exe"
. "$(dirname "$0")/ui_test.sh"

rows() { drive "list|$T|$1" | tr -d '\r' | tr '\n' ';'; }
menu() { drive "$@" "popup-menu" | tr -d '\r' | tr '\t' ' ' | tr '\n' ';'; }
# The message box of a failed check: its icon (Wine numbers it 1088) and text, then OK, and the dialog is
# still open.
refused() {  # dialog title, message
    drive "wait|Tessaro" "expect|Tessaro|65535|$2" "icon|Tessaro|1088|1" "click|Tessaro|1" "gone|Tessaro" "wait|$1"
}
# Chooses a file of the project in "Select File" opened by the button.
choose_file() {  # window, button, folder path, row
    drive "click|$1|$2" "wait|Select File" "tree-select|Select File|1351|$3" "list-select|Select File|1352|$4" \
        "click|Select File|1" "gone|Select File"
}

# A project with files; tool.exe is a program that holds icons (the setup program's image).
project="$work/project"
"$native/tests/tools/write_wizard_project" "$project" "$tree/tests/ui/wizard_action.exe" \
    "$tree/tests/ui/wizard_action.dll" plain >/dev/null || fail "writing the project"
cp "$tree/setup/TSS.dat" "$project/files/tool.exe"
program="$tree/author/Tessaro.exe"
T="Tessaro - wizard.tsp"
D="Add New Document Type"
V="Add New Verb"
P="Document Type Properties"
Q="Verb Properties"
tool='<Target Folder>\Bin\tool.exe'
open_row="open | $tool | \"%1\""
print_row="print | $tool | /p \"%1\""

launch "$T" "$program" "$(winpath "$project/wizard.tsp")"
drive "command|$T|40014" "wait|$T" || fail "the Doc Types page"
[ "$(rows 1761)" = "" ] && [ "$(rows 1763)" = "" ] || fail "a new project shows document types"
for id in 1761 1763; do
    for column in 0 1 2; do
        [ "$(drive "column-width|$T|$id|$column" | tr -d '\r')" = 100 ] || fail "column $column of list $id"
    done
done

# ---- the document type: its menu from the keyboard, the two messages in order, the icon ----
m=$(menu "menu-key|$T|1761")
[ "$m" = "1780 Add Document Type Ins;1781 Delete Del (grayed);1782 Change F2 (grayed);-;1783 Add Verb \
(grayed);" ] ||
    fail "the document types' menu without a document type: $m"
drive "menu-choose|0" "wait|$D" "click|$D|1" || fail "Add Document Type from the menu"
refused "$D" "Please enter a name for this Document Type." || fail "no name"
drive "type|$D|1801|Gadget.Document" "click|$D|1" || fail "typing the name"
refused "$D" "Please enter an extension for this Document Type." || fail "no extension"
# The icon: a file of the project that holds icons shows one; an index beyond its icons and a file that is
# no icon show none, without a message.
choose_file "$D" 1805 'Target Folder\Bin' 0 && drive "expect|$D|1804|$tool" "icon|$D|1808|1" ||
    fail "an icon of tool.exe"
drive "type|$D|1806|99" "icon|$D|1808|0" || fail "an index beyond the file's icons shows an icon"
choose_file "$D" 1805 'Target Folder\Docs' 0 && drive "expect|$D|1804|<Target Folder>\\Docs\\readme.txt" \
    "icon|$D|1808|0" "sleep|300" "gone|Tessaro|0" || fail "a text file as the icon"
choose_file "$D" 1805 'Target Folder\Bin' 0 && drive "type|$D|1806|0" "icon|$D|1808|1" || fail "the icon again"
# The spin control's arrow keys step the index in its field.
drive "key|$D|1806|Up" "expect|$D|1806|1" "key|$D|1806|Down" "expect|$D|1806|0" "icon|$D|1808|1" ||
    fail "the arrow keys on the icon index"
# The extension typed with its dot is stored without it.
drive "type|$D|1803|.gdg" "type|$D|1802|Gadget document" "click|$D|1" "gone|$D" || fail "accepting the type"
[ "$(rows 1761)" = "*Gadget.Document | gdg | Gadget document;" ] || fail "the new document type: $(rows 1761)"

# ---- the first verb: Insert in the verbs list, the two messages in order ----
drive "key|$T|1763|Insert" "wait|$V" "click|$V|1" || fail "Insert in the verbs list"
refused "$V" "Please enter a name for this verb." || fail "no verb name"
drive "type|$V|1821|open" "click|$V|1" || fail "typing the verb's name"
refused "$V" "Please enter a Target file for this verb." || fail "no target"
choose_file "$V" 1824 'Target Folder\Bin' 0 && drive "expect|$V|1823|$tool" "type|$V|1825|\"%1\"" \
    "click|$V|1" "gone|$V" || fail "accepting the open verb"

# ---- the second verb: the document type's menu with the mouse ----
m=$(menu "list-click|$T|1761|0|right")
[ "$m" = "1780 Add Document Type Ins;1781 Delete Del;1782 Change F2;-;1783 Add Verb;" ] ||
    fail "the document types' menu on a document type: $m"
drive "menu-choose|3" "wait|$V" "type|$V|1821|print" || fail "Add Verb from the document type's menu"
choose_file "$V" 1824 'Target Folder\Bin' 0 && drive "type|$V|1825|/p \"%1\"" "click|$V|1" "gone|$V" ||
    fail "accepting the print verb"
[ "$(rows 1763)" = "$open_row;*$print_row;" ] || fail "the two verbs: $(rows 1763)"

# ---- changing: Cancel keeps the verb; a name the type has already is refused; a double click changes ----
m=$(menu "list-click|$T|1763|0|right")
[ "$m" = "1783 Add Verb Ins;1784 Delete Del;1785 Change F2;" ] || fail "the verbs' menu on a verb: $m"
drive "menu-choose|2" "wait|$Q" "expect|$Q|1821|open" \
    "type|$Q|1821|edit" "click|$Q|2" "gone|$Q" || fail "Change, then Cancel"
drive "list-click|$T|1763|1|double" "wait|$Q" "expect|$Q|1825|/p \"%1\"" \
    "type|$Q|1821|OPEN" "click|$Q|1" || fail "a double click on the print verb"
refused "$Q" "This Document Type has a verb named \"open\" already." || fail "a second open verb"
drive "type|$Q|1821|print" "type|$Q|1822|Print it" "click|$Q|1" \
    "gone|$Q" || fail "accepting the changed verb"
[ "$(rows 1763)" = "$open_row;*$print_row;" ] || fail "verbs after changing: $(rows 1763)"
# F2 in the document types' list opens its properties.
drive "key|$T|1761|F2" "wait|$P" "expect|$P|1803|gdg" \
    "expect|$P|1806|0" "icon|$P|1808|1" || fail "F2 on the document type"
drive "type|$P|1803|txt" "click|$P|2" "gone|$P" ||
    fail "Cancel in the document type's properties"
[ "$(rows 1761)" = "*Gadget.Document | gdg | Gadget document;" ] || fail "Cancel changed the type: $(rows 1761)"

# ---- a second document type: its extension must be its own; it takes more verbs than the ten of old ----
drive "key|$T|1761|Insert" "wait|$D" "type|$D|1801|Other" "type|$D|1803|GDG" "click|$D|1" ||
    fail "a second type"
refused "$D" "The extension \"GDG\" belongs to the Document Type \"Gadget.Document\" already." ||
    fail "an extension claimed twice"
drive "type|$D|1803|oth" "click|$D|1" "gone|$D" || fail "accepting the second type"
for n in 1 2 3 4 5 6 7 8 9 10 11; do
    drive "key|$T|1763|Insert" "wait|$V" "type|$V|1821|verb$n" || fail "verb $n"
    choose_file "$V" 1824 'Target Folder\Bin' 0 && drive "click|$V|1" "gone|$V" || fail "accepting verb $n"
done
[ "$(drive "list|$T|1763" | tr -d '\r' | wc -l)" = 11 ] || fail "eleven verbs: $(rows 1763)"
# Deleting the second type: No keeps it, Yes deletes it and the first one is selected again.
drive "key|$T|1761|Delete" "wait|Warning!" \
    "expect|Warning!|1742|Are you sure you want to delete the Document Type \"Other\"?" "click|Warning!|7" \
    "gone|Warning!" || fail "No to deleting the second type"
[ "$(drive "list|$T|1761" | tr -d '\r' | wc -l)" = 2 ] || fail "No deleted the type: $(rows 1761)"
drive "key|$T|1761|Delete" "wait|Warning!" "click|Warning!|6" "gone|Warning!" || fail "deleting the second type"
[ "$(rows 1761)" = "*Gadget.Document | gdg | Gadget document;" ] || fail "types after the delete: $(rows 1761)"
[ "$(rows 1763)" = "$open_row;$print_row;" ] || fail "verbs shown: $(rows 1763)"

# ---- saved; an unchanged OK and a Cancel leave nothing to save ----
drive "command|$T|40003" "sleep|500" || fail "saving"
drive "list-click|$T|1763|0|double" "wait|$Q" "click|$Q|1" "gone|$Q" \
    "key|$T|1761|F2" "wait|$P" "click|$P|2" \
    "gone|$P" || fail "OK and Cancel without a change"
drive "command|$T|40006" "gone|$T" || fail "leaving without a save prompt"
ended || fail "the program asked to save after an unchanged OK and a Cancel"

text_round_trip "$native/cli/tessaro" "$project/wizard.tsp"
"$native/cli/tessaro" dump "$project/wizard.tsp" | tr -d '\r' >"$work/saved.txt"
sed -n '/^    DocTypes/,/^    Actions/p' "$work/saved.txt" >"$work/doctypes.txt"
for line in 'Extension = "gdg"' 'Name = "Gadget.Document"' 'Description = "Gadget document"' \
    'IconFile = 0  -> <Target Folder>\Bin\tool.exe' 'IconIndex = 0' 'Name = "open"' 'Arguments = "\"%1\""' \
    'Target = 0  -> <Target Folder>\Bin\tool.exe' 'Name = "print"' 'Description = "Print it"' \
    'Arguments = "/p \"%1\""'; do
    grep -qF "$line" "$work/doctypes.txt" || fail "the saved project lacks $line"
done
grep -q 'Other\|verb1' "$work/doctypes.txt" && fail "the deleted document type was saved"
[ "$(grep -c 'Arr[0-9]' "$work/doctypes.txt")" = 3 ] || fail "saved: $(cat "$work/doctypes.txt")"

# ---- reopened: shown again; the open verb deleted through the confirmation ----
start "$program" "$(winpath "$project/wizard.tsp")"
drive "wait|$T" "command|$T|40014" "wait|$T" || fail "reopening"
[ "$(rows 1761)" = "*Gadget.Document | gdg | Gadget document;" ] || fail "types after reopening: $(rows 1761)"
[ "$(rows 1763)" = "$open_row;$print_row;" ] || fail "verbs after reopening: $(rows 1763)"
drive "list-select|$T|1763|0" "key|$T|1763|Delete" "wait|Warning!" \
    "expect|Warning!|1742|Are you sure you want to delete the Verb \"open\"?" "click|Warning!|7" \
    "gone|Warning!" ||
    fail "No to deleting the open verb"
drive "key|$T|1763|Delete" "wait|Warning!" "click|Warning!|6" "gone|Warning!" || fail "deleting the open verb"
[ "$(rows 1763)" = "*$print_row;" ] || fail "verbs after the delete: $(rows 1763)"
# The project builds without licence and readme files once the User Interface page asks for none.
drive "command|$T|40016" "list-select|$T|1620|2" "check|$T|1621|0" "list-select|$T|1620|9" "select|$T|1669|0" \
    "sleep|200" || fail "the User Interface page"
# The Maintenance page's icon index, typed into its field, is the one saved (its spin control shares the
# document type dialog's layout).
drive "command|$T|40017" "type|$T|1306|3" "sleep|200" || fail "the Maintenance page's icon index"
drive "command|$T|40003" "sleep|500" "command|$T|40006" "gone|$T" || fail "saving the delete"
ended || fail "the program did not end"
"$native/cli/tessaro" dump "$project/wizard.tsp" | tr -d '\r' | sed -n '/^    DocTypes/,/^    Actions/p' \
    >"$work/doctypes.txt"
grep -qF 'Name = "open"' "$work/doctypes.txt" && fail "the deleted verb was saved"
grep -qF 'Name = "print"' "$work/doctypes.txt" || fail "the print verb was not saved"
"$native/cli/tessaro" dump "$project/wizard.tsp" | tr -d '\r' | grep -q '^    IconIndex = 3$' ||
    fail "the Maintenance page's typed icon index was not saved"

# ---- built and installed silently: the document type is registered; removed, it is gone ----
reg_value() {  # key, value name ("(Default)" for the key's default value): its data, or nothing
    if [ "$2" = "(Default)" ]; then set -- "$1" "$2" /ve; else set -- "$1" "$2" /v "$2"; fi
    key=$1 name=$2
    shift 2
    "$wine_run" reg query "$key" "$@" 2>/dev/null | tr -d '\r' | awk -v name="$name" '$1 == name {
        $1 = ""; $2 = ""; sub(/^ +/, ""); print }'
}
"$native/cli/tessaro" build "$project/wizard.tsp" --out "$project/media" --raw-setup "$tree/setup/TSS.dat" \
    >"$work/build.log" 2>&1 || { cat "$work/build.log"; fail "building the media"; }
media=$(dirname "$(find "$project/media" -name Setup.exe | head -1)")
"$wine_run" "$media/Setup.exe" -S </dev/null >/dev/null 2>&1 || fail "the silent installation ended with $?"
registered() {  # key under HKEY_CLASSES_ROOT, its default value
    value=$(reg_value "HKCR\\$1" '(Default)')
    [ "$value" = "$2" ] || fail "HKEY_CLASSES_ROOT\\$1 holds \"$value\", not \"$2\""
}
registered .gdg Gadget.Document
registered Gadget.Document "Gadget document"
registered 'Gadget.Document\DefaultIcon' 'C:\Gadget\Bin\tool.exe,0'
registered 'Gadget.Document\shell\print\command' '"C:\Gadget\Bin\tool.exe" /p "%1"'
"$wine_run" "$media/Setup.exe" -SU "$(winpath "$media/tsdb.dat")" </dev/null >/dev/null 2>&1 ||
    fail "removing the product"
"$wine_run" reg query 'HKCR\.gdg' >/dev/null 2>&1 && fail "the removal left the extension"

finish "doc types page"
