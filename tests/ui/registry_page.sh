#!/bin/sh
# The authoring program's Registry page worked as a person would, with the keyboard and the mouse: keys
# made under HKEY_LOCAL_MACHINE with Insert and label edits, a sibling in other case refused with its
# message, the three kinds of values made from the "Reg Menu" ("(DEFAULT)" becoming the default value and
# a second one refused), a double word entered as ffffffff in hexadecimal, a value made Permanent, the
# menu's disabled items on a root key, a value deleted through the confirmation; saved and read back.
# Arguments: the x86_64 tree, the native tree, the wine runner, a folder for screenshots.
tree=$1
native=$2
wine_run=$3
shots=$4
driver="$tree/tests/ui/uidriver.exe"
. "$(dirname "$0")/ui_test.sh"
mkdir -p "$shots"

winpath() { echo "Z:$1" | tr / '\\'; }
rows() { drive "list|$T|2042" | tr -d '\r' | tr '\n' ';'; }
keys() { drive "tree|$T|2041" | tr -d '\r' | tr '\n' ';'; }
menu() { drive "$@" "popup-menu" | tr -d '\r' | tr '\t' ' ' | tr '\n' ';'; }
# A new value of the kind (0 string, 1 binary, 2 double word) from the value list's "Reg Menu" > "New".
new_value() { drive "menu-key|$T|2042" "menu-choose|0" "sleep|200" "menu-choose|$1" "list-edit|$T|2042|$2" "sleep|300"; }
refused() {  # the message, then OK
    drive "wait|Tessaro" "expect|Tessaro|65535|$1" "icon|Tessaro|1088|1" "click|Tessaro|1" "gone|Tessaro"
}

"$native/cli/tessaro" new "$work/reg.tsp" >/dev/null || fail "a new project"
T="Tessaro - reg.tsp"
"$wine_run" "$tree/author/Tessaro.exe" "$(winpath "$work/reg.tsp")" >/dev/null 2>&1 </dev/null &
app_pid=$!
drive "wait|$T" "sleep|1000" "command|$T|40012" "wait|$T" "sleep|500" >/dev/null || fail "the Registry page"
[ "$(keys)" = "*HKEY_CLASSES_ROOT;HKEY_CURRENT_USER;HKEY_LOCAL_MACHINE;HKEY_USERS;Installation Type Dependant;" ] ||
    fail "the root keys: $(keys)"
[ "$(rows)" = "" ] || fail "a root key of a new project shows values"

# A root key: no Delete, Rename, Modify or Permanent; Paste needs a key path on the clipboard.
m=$(menu "tree-select|$T|2041|HKEY_LOCAL_MACHINE" "menu-key|$T|2041")
drive "key|$T|2041|Escape" >/dev/null
case "$m" in
    *"New;2064 Delete Del (grayed);2065 Rename F2 (grayed);2066 Modify (grayed);-;2067 Launch Registry Editor;"*"2070 Import .reg File...;-;2069 Permanent (grayed);"*) ;;
    *) fail "the menu of a root key: $m" ;;
esac

# Keys under HKEY_LOCAL_MACHINE with Insert; a sibling named in other case is refused and typed again.
drive "tree-select|$T|2041|HKEY_LOCAL_MACHINE" "key|$T|2041|Insert" "tree-edit|$T|2041|Software" "sleep|300" \
    "key|$T|2041|Insert" "tree-edit|$T|2041|Tessaro Reg Test" "sleep|300" \
    "tree-select|$T|2041|HKEY_LOCAL_MACHINE" "key|$T|2041|Insert" "tree-edit|$T|2041|SOFTWARE" >/dev/null ||
    fail "new keys"
refused "Cannot add the key. A key with the name you specified already exists. Specify a different name." ||
    fail "the clash of key names"
drive "tree-edit|$T|2041|Other" "sleep|300" >/dev/null || fail "the key typed again"
drive "tree-select|$T|2041|HKEY_LOCAL_MACHINE\\Software\\Tessaro Reg Test" "sleep|200" >/dev/null
k=$(keys)
case "$k" in
    *"HKEY_LOCAL_MACHINE;  Software;    *Tessaro Reg Test;  Other;HKEY_USERS;"*) ;;
    *) fail "the keys made: $k" ;;
esac

# Values of the three kinds; "(DEFAULT)" is the default value, a second default is refused.
new_value 0 Path || fail "a string value"
new_value 2 Count || fail "a double word"
new_value 1 "(DEFAULT)" || fail "a binary default value"
drive "menu-key|$T|2042" "menu-choose|0" "sleep|200" "menu-choose|0" "list-edit|$T|2042|(default)" >/dev/null
refused "Cannot add the item. An item with the name you specified already exists. Specify a different name." ||
    fail "a second default value"
drive "list-edit|$T|2042|Second" "sleep|300" >/dev/null || fail "the value typed again"
[ "$(rows)" = "Path | REG_SZ | ;Count | REG_DWORD | 0x00000000 (0);(Default) | REG_BINARY | ;*Second | REG_SZ | ;" ] ||
    fail "the values made: $(rows)"

# ffffffff in hexadecimal, shown as 0xffffffff (-1); the string's data; Path made Permanent.
D="Modify DWORD Value"
drive "list-click|$T|2042|1|double" "wait|$D" "expect|$D|2102|0" "type|$D|2102|ffffffff" "click|$D|1" "gone|$D" \
    >/dev/null || fail "the double word's dialog"
drive "list-click|$T|2042|0|double" "wait|Modify String" "type|Modify String|2102|C:\\Tessaro" \
    "click|Modify String|1" "gone|Modify String" >/dev/null || fail "the string's dialog"
m=$(menu "list-select|$T|2042|0" "menu-key|$T|2042")
case "$m" in
    *"2064 Delete Del;2065 Rename F2;2066 Modify;"*"2069 Permanent;"*) ;;
    *) fail "the menu of a value: $m" ;;
esac
drive "menu-choose|7" "sleep|300" >/dev/null || fail "Permanent"
m=$(menu "list-select|$T|2042|0" "menu-key|$T|2042")
drive "key|$T|2042|Escape" >/dev/null
case "$m" in *"2069 Permanent (checked)"*) ;; *) fail "Permanent is not checked: $m" ;; esac
drive "key|$T|2042|Escape" "sleep|200" >/dev/null
[ "$(rows)" = "*Path | REG_SZ | C:\\Tessaro;Count | REG_DWORD | 0xffffffff (-1);(Default) | REG_BINARY | ;Second | REG_SZ | ;" ] ||
    fail "the values modified: $(rows)"
import -display "$DISPLAY" -window root "$shots/registry-page.png"

# Delete, with the confirmation.
drive "list-select|$T|2042|3" "key|$T|2042|Delete" "wait|Warning!" "click|Warning!|6" "gone|Warning!" "sleep|300" \
    >/dev/null || fail "deleting a value"
# The row before the deleted one is selected.
[ "$(rows)" = "Path | REG_SZ | C:\\Tessaro;Count | REG_DWORD | 0xffffffff (-1);*(Default) | REG_BINARY | ;" ] ||
    fail "after the deletion: $(rows)"

# Saved: the project holds what the page shows.
drive "command|$T|40003" "sleep|1000" >/dev/null
text_round_trip "$native/cli/tessaro" "$work/reg.tsp"
"$native/cli/tessaro" dump "$work/reg.tsp" | tr -d '\r' >"$work/saved.txt"
for expected in '"Tessaro Reg Test"' '"Path"' '"C:\\\\Tessaro"' '"Count"' '"-1"' '"Other"'; do
    grep -q "$expected" "$work/saved.txt" || fail "the saved project lacks $expected"
done
grep -q '"Second"' "$work/saved.txt" && fail "the deleted value was saved"
drive "command|$T|40006" >/dev/null
wait "$app_pid"
finish "registry page"
