#!/bin/sh
# The authoring program's Registry page worked as a person would, with the keyboard and the mouse: keys
# made under HKEY_LOCAL_MACHINE with Insert and label edits, a sibling in other case refused with its
# message, the three kinds of values made from the "Reg Menu" ("(DEFAULT)" becoming the default value and
# a second one refused), a double word entered as ffffffff in hexadecimal, a value made Permanent, the
# menu's disabled items on a root key, a value deleted through the confirmation; Paste of a key of Wine's
# registry from the clipboard (Paste grayed for a text that is no key path, a key that cannot be opened
# refused once), keys moved and a value copied by dragging them onto keys with the two refusals, a
# UTF-16 .reg file imported through the menu with its unreadable lines listed; saved and read back, built,
# installed silently under Wine, where reg query shows exactly the keys and values made on the page, and
# removed, which leaves the Permanent value and nothing else.
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
launch "$T" "$tree/author/Tessaro.exe" "$(winpath "$work/reg.tsp")"
drive "sleep|1000" "command|$T|40012" "wait|$T" "sleep|500" >/dev/null || fail "the Registry page"
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

# Paste: the key of Wine's registry whose path is on the clipboard, with its values and subkeys, walked
# from the project's root key of the hive.
src='HKEY_CURRENT_USER\Software\Tessaro Paste Source'
product='HKLM\Software\Tessaro Reg Test'
"$wine_run" reg delete "$product" /f >/dev/null 2>&1
"$wine_run" reg delete "$src" /f >/dev/null 2>&1
"$wine_run" reg add "$src" /v Name /d pasted /f >/dev/null 2>&1 &&
    "$wine_run" reg add "$src\Sub" /v Level /t REG_DWORD /d 7 /f >/dev/null 2>&1 || fail "reg add of the pasted key"
m=$(menu "clipboard|Software\Tessaro Paste Source" "tree-select|$T|2041|HKEY_CURRENT_USER" "menu-key|$T|2041")
drive "key|$T|2041|Escape" >/dev/null
case "$m" in *"2068 Paste (grayed)"*) ;; *) fail "Paste is not grayed for a text that is no key path: $m" ;; esac
drive "clipboard|HKEY_CURRENT_USER\Software\Tessaro No Such Key" "tree-select|$T|2041|HKEY_CURRENT_USER" \
    "menu-key|$T|2041" "menu-choose|5" >/dev/null || fail "Paste of a missing key"
refused 'Cannot open the registry key "HKEY_CURRENT_USER\Software\Tessaro No Such Key". Nothing was imported.' ||
    fail "the message of a key that cannot be opened"
case "$(keys)" in *"*HKEY_CURRENT_USER;HKEY_LOCAL_MACHINE;"*) ;; *) fail "a missing key made keys: $(keys)" ;; esac
drive "clipboard|$src" "tree-select|$T|2041|HKEY_CURRENT_USER" "menu-key|$T|2041" "menu-choose|5" "sleep|500" \
    >/dev/null || fail "Paste"
case "$(keys)" in
    *"HKEY_CURRENT_USER;  Software;    *Tessaro Paste Source;      Sub;HKEY_LOCAL_MACHINE;"*) ;;
    *) fail "the pasted keys: $(keys)" ;;
esac
[ "$(rows)" = "Name | REG_SZ | pasted;" ] || fail "the pasted key's values: $(rows)"
drive "tree-select|$T|2041|$src\Sub" "sleep|200" >/dev/null
[ "$(rows)" = "Level | REG_DWORD | 0x00000007 (7);" ] || fail "the pasted subkey's values: $(rows)"

# Drags onto keys: the pasted key and Other moved below Tessaro Reg Test, Count copied into Other with Ctrl;
# a value or key of a name the target has already is refused with its message.
R='HKEY_LOCAL_MACHINE\Software\Tessaro Reg Test'
drive "drag|$T|2041:tree:$src|2041:tree:$R" "sleep|500" \
    "drag|$T|2041:tree:HKEY_LOCAL_MACHINE\Other|2041:tree:$R" "sleep|500" >/dev/null || fail "dragging keys"
drive "tree-select|$T|2041|$R" "sleep|200" "drag|$T|2042:list:1|2041:tree:$R\Other|ctrl" "sleep|500" >/dev/null ||
    fail "dragging a value with Ctrl"
[ "$(rows)" = "*Count | REG_DWORD | 0xffffffff (-1);" ] || fail "the value copied into Other: $(rows)"
drive "tree-select|$T|2041|$R" "sleep|200" "drag|$T|2042:list:1|2041:tree:$R\Other" >/dev/null
refused 'Cannot move the Item "Count" to the Target Key because an item with that name already exists.' ||
    fail "a value moved onto a key that has one of its name"
drive "tree-select|$T|2041|HKEY_CURRENT_USER" "menu-key|$T|2041" "menu-choose|5" "sleep|500" \
    "drag|$T|2041:tree:$src|2041:tree:$R|ctrl" >/dev/null || fail "a second Paste"
refused 'Cannot copy the Key "Tessaro Paste Source" to the Target Key because a Key with that name already exists.' ||
    fail "a key copied onto a key that has one of its name"
drive "tree-select|$T|2041|$R" "sleep|200" >/dev/null
[ "$(rows)" = "Path | REG_SZ | C:\\Tessaro;Count | REG_DWORD | 0xffffffff (-1);(Default) | REG_BINARY | ;" ] ||
    fail "the values left after the drags: $(rows)"

# A .reg file as the registry editor writes version 5 (UTF-16 LE with a byte-order mark), imported through
# the menu: what can be read is imported, an unreadable line and a value cut off at the end are listed.
{
    printf '\377\376'
    printf '%s\r\n' 'Windows Registry Editor Version 5.00' '' "[$R\\Imported]" '"Text"="from a file"' \
        '"Flags"=dword:0000002a' '"Bytes"=hex:01,02,ff' 'not a line of the registry editor' '"Cut"=hex:01,\' |
        iconv -f UTF-8 -t UTF-16LE
} >"$work/import.reg"
drive "tree-select|$T|2041|$R" "menu-key|$T|2041" "menu-choose|6" "wait|Open" \
    "type|Open|1148|$(winpath "$work/import.reg")" "click|Open|1" "gone|Open" "wait|Tessaro" "icon|Tessaro|1088|1" \
    >/dev/null || fail "Import .reg File..."
skipped=$(text_of Tessaro 65535 | sed '/^$/d' | tr '\n' ';')
drive "click|Tessaro|1" "gone|Tessaro" >/dev/null
[ "$skipped" = "These lines of the file were not imported as they stand:;Line 7: unreadable line;$(
    )Line 8: the value's data breaks off after a continued line;" ] ||
    fail "the lines skipped: $skipped"
drive "tree-select|$T|2041|$R\Imported" "sleep|200" >/dev/null
[ "$(rows)" = "Text | REG_SZ | from a file;Flags | REG_DWORD | 0x0000002a (42);Bytes | REG_BINARY | 01 02 ff;" ] ||
    fail "the imported values: $(rows)"
k=$(keys)
case "$k" in
    *"    Tessaro Reg Test;      Tessaro Paste Source;        Sub;      Other;      *Imported;HKEY_USERS;"*) ;;
    *) fail "the keys after the drags and the import: $k" ;;
esac

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

# Built, installed silently: the registry holds exactly the keys and values made on the page. The key is
# taken into the feature "Main", and the product named, through the project's text form; the wizard's
# pages that need files are not shown. The pasted key's source is gone first, so that what is found there
# comes from the setup.
"$wine_run" reg delete "$src" /f >/dev/null 2>&1
"$native/cli/tessaro" export "$work/reg.tsp" -o "$work/reg.toml" >/dev/null || fail "export"
R=$R awk '/^\[/ { section = $0 }
    /^path = .Main.$/ { print; print "registry_keys = [\x27" ENVIRON["R"] "\x27]"; next }
    /^\[product\]$/ { print; print "name = \x27Tessaro Reg Test\x27"; print "version = \x271.0\x27"
        print "target = \x27<program files>\\Tessaro Reg Test\x27"; next }
    section == "[product]" && /^(name|version|target) = \x27\x27$/ { next }
    /^readme_option = / { print "readme_option = 0"; next }
    { sub(/\x27License Agreement\x27, /, ""); print }' "$work/reg.toml" >"$work/built.toml"
grep -q "^registry_keys" "$work/built.toml" || fail "no feature Main in the exported project"
"$native/cli/tessaro" build "$work/built.toml" --out "$work/out" --raw-setup "$tree/setup/TSS.dat" \
    >"$work/build.log" 2>&1 || fail "tessaro build: $(cat "$work/build.log")"
"$wine_run" uninstaller --list 2>/dev/null | tr -d '\r' | sort >"$work/before"
"$wine_run" "$(winpath "$work/out/CD/CD1/Setup.exe")" -S </dev/null >/dev/null 2>&1 || fail "the installation ended with $?"
query() { "$wine_run" reg query "$product" /s 2>/dev/null | tr -d '\r' | sed 's/ *$//' | grep -v '^$' | tr '\n' ';'; }
installed=$(query)
# (reg query lists the values of a key by name)
expected="HKEY_LOCAL_MACHINE\\Software\\Tessaro Reg Test;    (Default)    REG_BINARY;"
expected="$expected    Count    REG_DWORD    0xffffffff;    Path    REG_SZ    C:\\Tessaro;"
expected="$expected$R\\Imported;    Bytes    REG_BINARY    0102FF;    Flags    REG_DWORD    0x2a;"
expected="$expected    Text    REG_SZ    from a file;"
expected="$expected$R\\Other;    Count    REG_DWORD    0xffffffff;"
expected="$expected$R\\Tessaro Paste Source;    Name    REG_SZ    pasted;"
expected="$expected$R\\Tessaro Paste Source\\Sub;    Level    REG_DWORD    0x7;"
[ "$installed" = "$expected" ] || fail "the installed registry: $installed"
"$wine_run" reg query "$src" >/dev/null 2>&1 && fail "the setup wrote the pasted key's source"

# Removed through the command the setup stored: the Permanent value stays, nothing else.
entry=$("$wine_run" uninstaller --list 2>/dev/null | tr -d '\r' | sort | comm -13 "$work/before" -)
guid=${entry%%|*}
[ -n "$guid" ] || fail "Wine's uninstaller does not list the product"
uninstall=$("$wine_run" reg query "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$guid" \
    /v UninstallString 2>/dev/null | tr -d '\r' | sed -n 's/^ *UninstallString *REG_SZ *//p')
# Split as the system splits a command line (the quoted database path is one word); backslashes are doubled
# first, so that eval keeps them.
command=$(printf '%s\n' "$uninstall" | sed 's/ -\([A-Z]*\) / -S\1 /; s/\\/\\\\/g')
eval "set -- $command"
[ $# -gt 0 ] && "$wine_run" "$@" </dev/null >/dev/null 2>&1 || fail "the removal ($uninstall) ended with $?"
[ "$(query)" = "HKEY_LOCAL_MACHINE\\Software\\Tessaro Reg Test;    Path    REG_SZ    C:\\Tessaro;" ] ||
    fail "the removal left: $(query)"
"$wine_run" reg delete "$product" /f >/dev/null 2>&1
finish "registry page"
