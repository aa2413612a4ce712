#!/bin/sh
# The authoring program's Folders page making a product from nothing, as a person would with the keyboard
# and the mouse: special folders added from the folder menu (the Temp Folder's menu then lacks Add Folder
# and Add Shortcut), a folder tree typed with Insert and label edits, a clash refused and typed again,
# files added through the file dialog (one, then two at once) and by a drop from the shell, a directory
# dropped from the shell making a dynamic folder whose files Show Dynamic lists, a shortcut made by an
# Alt-drag and shown by Show Shortcuts, a copy made by a Ctrl-drag, the delete of a folder that is not
# empty refused, a file's operating systems changed in File Properties; saved; then the saved project is
# built with tessaro build, installed silently, and the installed files, folders and shortcut are exactly
# those made on the page (the file kept from this system by its OS list is not installed); then removed.
# Arguments: the x86_64 tree, the native tree, the wine runner, a folder for screenshots.
tree=$1
native=$2
wine_run=$3
shots=$4
driver="$tree/tests/ui/uidriver.exe"
. "$(dirname "$0")/ui_test.sh"
mkdir -p "$shots"
prefix=${TESSARO_WINEPREFIX:-$(cd "$(dirname "$0")/../.." && pwd)/build/wineprefix}

T="Tessaro - folders.tsp"
F=2001  # the folder tree
L=2002  # the item list
folders() { drive "tree|$T|$F" | tr -d '\r' | tr '\n' ';'; }
rows() { drive "list|$T|$L" | tr -d '\r' | tr '\n' ';'; }
menu() { drive "$@" "popup-menu" | tr -d '\r' | tr '\t' ' ' | tr '\n' ';'; }
refused() {  # the message, then OK
    drive "wait|Tessaro" "expect|Tessaro|65535|$1" "icon|Tessaro|1088|1" "click|Tessaro|1" "gone|Tessaro"
}
add_files() {  # through the item menu's "Add Files" and the file dialog; $1 is what is typed as file name
    drive "menu-key|$T|$L" "menu-choose|0" "wait|Open" "type|Open|1148|$1" "click|Open|1" "gone|Open" "sleep|500"
}

src="$work/src"
mkdir -p "$src/data"
for name in tool.dat lib.dat old.dat readme.txt; do printf '%s contents\n' "$name" >"$src/$name"; done
printf 'first\n' >"$src/data/d1.txt"
printf 'second\n' >"$src/data/d2.txt"
"$native/cli/tessaro" new "$work/folders.tsp" >/dev/null || fail "a new project"
launch "$T" "$tree/author/Tessaro.exe" "$(winpath "$work/folders.tsp")"
drive "sleep|1000" "command|$T|40011" "wait|$T" "sleep|500" >/dev/null || fail "the Folders page"
[ "$(folders)" = "*Target Folder;" ] || fail "a new project's folders: $(folders)"

# Special folders: the Temp Folder and Programs, from the folder menu.
drive "menu-key|$T|$F" "menu-choose|0" "wait|Select Special Folders" >/dev/null || fail "Select Special Folders"
offered=$(drive "list|Select Special Folders|1201" | tr -d '\r' | tr '\n' ';')
case "$offered" in
    "Source Folder;Temp Folder;Program Files;Windows Folder;Windows System Folder;Fonts Folder;Start Menu;Programs;Desktop;Startup;Toolbar;My Documents;Hard Coded;") ;;
    *) fail "the special folders offered: $offered" ;;
esac
drive "list-select|Select Special Folders|1201|12" "visible|Select Special Folders|1203|1" \
    "list-select|Select Special Folders|1201|1,7" "visible|Select Special Folders|1203|0" >/dev/null ||
    fail "the drive letter list follows Hard Coded"
import -display "$DISPLAY" -window root "$shots/folders-special.png"
drive "click|Select Special Folders|1" "gone|Select Special Folders" "sleep|300" >/dev/null
[ "$(folders)" = "Target Folder;Temp Folder;*Programs;" ] || fail "the special folders added: $(folders)"
m=$(menu "tree-select|$T|$F|Temp Folder" "menu-key|$T|$F")
drive "key|$T|$F|Escape" >/dev/null
case "$m" in
    *"2011 Add Folder Ins (grayed);2012 Delete Del;2013 Rename F2 (grayed);2014 Properties;-;2015 Add Files...;2016 Add Shortcut (grayed);") ;;
    *) fail "the Temp Folder's menu: $m" ;;
esac

# A folder tree typed: Bin and Lib below the Target Folder; "bin" clashes and is typed again as Data2.
drive "tree-select|$T|$F|Target Folder" "key|$T|$F|Insert" "tree-edit|$T|$F|Bin" "sleep|300" \
    "tree-select|$T|$F|Target Folder" "key|$T|$F|Insert" "tree-edit|$T|$F|Lib" "sleep|300" \
    "tree-select|$T|$F|Target Folder" "key|$T|$F|Insert" "tree-edit|$T|$F|bin" >/dev/null || fail "new folders"
refused 'Cannot add "bin". A folder with the name you specified already exists. Specify a different name.' ||
    fail "the clash of folder names"
drive "tree-edit|$T|$F|Extra" "sleep|300" >/dev/null || fail "the folder typed again"
# Lib renamed to BIN is refused as well, then typed again as Library.
drive "tree-select|$T|$F|Target Folder\\Lib" "key|$T|$F|F2" "tree-edit|$T|$F|BIN" >/dev/null
refused "Cannot rename the folder. A folder with the name you specified already exists. Specify a different name." ||
    fail "the clash of a rename"
drive "tree-edit|$T|$F|Library" "sleep|300" >/dev/null || fail "the rename typed again"
[ "$(folders)" = "Target Folder;  Bin;  *Library;  Extra;Temp Folder;Programs;" ] || fail "the folders typed: $(folders)"

# Files: one through the dialog, two at once, one dropped from the shell onto Library.
drive "tree-select|$T|$F|Target Folder\\Bin" >/dev/null
add_files "$(winpath "$src/tool.dat")" || fail "Add Files with one file"
drive "menu-key|$T|$L" "menu-choose|0" "wait|Open" "type|Open|1148|$(winpath "$src")" "click|Open|1" "sleep|500" \
    "type|Open|1148|\"lib.dat\" \"old.dat\"" "click|Open|1" "gone|Open" "sleep|500" >/dev/null ||
    fail "Add Files with two files"
[ "$(rows)" = "tool.dat | 18 bytes;lib.dat | 17 bytes;*old.dat | 17 bytes;" ] || fail "the files of Bin: $(rows)"
drive "drop-at|$T|$F:tree:Target Folder\\Library|$(winpath "$src/readme.txt")" "sleep|500" \
    "tree-select|$T|$F|Target Folder\\Library" >/dev/null || fail "a file dropped from the shell"
[ "$(rows)" = "readme.txt | 20 bytes;" ] || fail "the files of Library: $(rows)"
# A directory from the shell makes a dynamic folder; Show Dynamic lists what it finds.
drive "drop-at|$T|$F:tree:Target Folder|$(winpath "$src/data")" "sleep|500" >/dev/null || fail "a directory dropped"
[ "$(folders)" = "Target Folder;  Bin;  Library;  Extra;  *data;Temp Folder;Programs;" ] ||
    fail "the dynamic folder: $(folders)"
[ "$(rows)" = "" ] || fail "a dynamic folder lists found files without Show Dynamic: $(rows)"
drive "check|$T|2004|1" "sleep|300" >/dev/null
[ "$(rows)" = "d1.txt | 6 bytes;d2.txt | 7 bytes;" ] || fail "Show Dynamic: $(rows)"
import -display "$DISPLAY" -window root "$shots/folders-dynamic.png"
drive "check|$T|2004|0" "sleep|300" >/dev/null

# An Alt-drag of tool.dat onto Programs makes a shortcut there; Show Shortcuts lists it.
drive "tree-select|$T|$F|Target Folder\\Bin" "list-select|$T|$L|0" \
    "drag|$T|$L:list:0|$F:tree:Programs|alt" "sleep|500" >/dev/null || fail "the Alt-drag"
drive "check|$T|2003|1" "tree-select|$T|$F|Programs" "sleep|300" >/dev/null
[ "$(rows)" = "Shortcut to tool.dat | ;" ] || fail "the shortcut made: $(rows)"
import -display "$DISPLAY" -window root "$shots/folders-shortcuts.png"
# A Ctrl-drag of lib.dat onto Library copies it; the original stays in Bin.
drive "tree-select|$T|$F|Target Folder\\Bin" "list-select|$T|$L|1" \
    "drag|$T|$L:list:1|$F:tree:Target Folder\\Library|ctrl" "sleep|500" >/dev/null || fail "the Ctrl-drag"
[ "$(rows)" = "tool.dat | 18 bytes;*lib.dat | 17 bytes;old.dat | 17 bytes;" ] || fail "Bin after the copy: $(rows)"
drive "tree-select|$T|$F|Target Folder\\Library" "sleep|300" >/dev/null
[ "$(rows)" = "readme.txt | 20 bytes;lib.dat | 17 bytes;" ] || fail "Library after the copy: $(rows)"
# Bin cannot go: it holds files.
drive "tree-select|$T|$F|Target Folder\\Bin" "key|$T|$F|Delete" >/dev/null
refused "Cannot delete folder because it is not empty." || fail "a folder that is not empty deleted"
# Extra is empty: it goes after the confirmation.
drive "tree-select|$T|$F|Target Folder\\Extra" "key|$T|$F|Delete" "wait|Warning!" "click|Warning!|6" \
    "gone|Warning!" "sleep|300" >/dev/null || fail "deleting an empty folder"
case "$(folders)" in *Extra*) fail "Extra was not deleted: $(folders)" ;; esac

# old.dat is kept from the Windows NT family (this system counts as one): All Operating Systems and
# Windows XP, 2000 and NT cleared in File Properties.
P="File Properties"
drive "tree-select|$T|$F|Target Folder\\Bin" "list-click|$T|$L|2|double" "wait|$P" "expect|$P|2161|old.dat" \
    "expect|$P|2162|17 bytes" "checked|$P|2175|1" "enabled|$P|2176|0" "enabled|$P|2174|0" \
    "check|$P|2175|0" "enabled|$P|2176|1" "check|$P|2172|1" "enabled|$P|2174|1" "check|$P|2172|0" >/dev/null ||
    fail "File Properties"
import -display "$DISPLAY" -window root "$shots/folders-file-properties.png"
drive "list-select|$P|2176|0" "key|$P|2176|Space" "list-select|$P|2176|1" "key|$P|2176|Space" \
    "list-select|$P|2176|2" "key|$P|2176|Space" "click|$P|1" "gone|$P" >/dev/null || fail "the OS list changed"
# Folder Properties of Library: the "My Computer" tree is there; nothing is changed.
drive "tree-select|$T|$F|Target Folder\\Library" "menu-key|$T|$F" "menu-choose|4" "wait|Folder Properties" \
    "expect|Folder Properties|2141|Library" "enabled|Folder Properties|2145|0" "check|Folder Properties|2142|1" \
    "enabled|Folder Properties|2145|1" >/dev/null || fail "Folder Properties"
machine=$(drive "tree|Folder Properties|2145" | tr -d '\r' | head -1)
[ "$machine" = "My Computer" ] || fail "the machine's tree: $machine"
import -display "$DISPLAY" -window root "$shots/folders-folder-properties.png"
drive "click|Folder Properties|2" "gone|Folder Properties" >/dev/null || fail "Folder Properties cancelled"

drive "tree-select|$T|$F|Target Folder\\Bin" "sleep|300" >/dev/null
import -display "$DISPLAY" -window root "$shots/folders-page.png"
drive "command|$T|40003" "sleep|1000" "command|$T|40006" >/dev/null
ended 20 || fail "the program did not end"

# The saved project holds what the page made.
"$native/cli/tessaro" dump "$work/folders.tsp" | tr -d '\r' >"$work/saved.txt"
for expected in '"Shortcut to tool.dat"' '"Library"' '"data"' '"Temp Folder"' '"Programs"'; do
    grep -q "$expected" "$work/saved.txt" || fail "the saved project lacks $expected"
done
grep -q '"Extra"' "$work/saved.txt" && fail "the deleted folder was saved"
grep -q 'OSMask = 3584 ' "$work/saved.txt" || fail "old.dat's OS mask (0xe00) was not saved"

# Built and installed silently: exactly what the page made. The product's name, its target and its main
# feature's folders are other pages' work; they are written into the project's text form here.
"$native/cli/tessaro" export "$work/folders.tsp" -o "$work/folders.toml" >/dev/null || fail "tessaro export"
sed -i -e "0,/^name = ''/s//name = 'Folders Test'/" \
    -e "s/^target = ''/target = '<Program Files>\\\\Folders Test'/" \
    -e "0,/^version = ''/s//version = '1.0'/" -e "s/^readme_option = .*/readme_option = 0/" \
    -e "s/'License Agreement', //" \
    -e "/^path = 'Main'/a folders = ['<Target Folder>', '<Programs>']" "$work/folders.toml"
drive_c="$prefix/drive_c"
installed="$drive_c/Program Files/Folders Test"
rm -rf "$installed"
"$native/cli/tessaro" build "$work/folders.toml" --out "$work/out" --raw-setup "$tree/setup/TSS.dat" \
    >"$work/build.log" 2>&1 || { cat "$work/build.log"; fail "tessaro build"; }
setup=$(find "$work/out" -name Setup.exe | head -1)
"$wine_run" "$(winpath "$setup")" -S </dev/null >/dev/null 2>&1 || fail "the installation ended with $?"
got=$(cd "$installed" 2>/dev/null && find . -mindepth 1 | grep -vi '^./tsdb.dat$' | sort | tr '\n' ' ')
[ "$got" = "./Bin ./Bin/lib.dat ./Bin/tool.dat ./Library ./Library/lib.dat ./Library/readme.txt ./data ./data/d1.txt ./data/d2.txt " ] ||
    fail "installed: $got"
cmp -s "$installed/Library/lib.dat" "$src/lib.dat" || fail "the copied file's contents"
cmp -s "$installed/data/d2.txt" "$src/data/d2.txt" || fail "the dynamic folder's file's contents"
link=$(find "$drive_c/users" "$drive_c/ProgramData" -name 'Shortcut to tool.dat.lnk' 2>/dev/null | head -1)
case "$link" in
    */Programs/*) grep -aq 'tool.dat' "$link" || fail "the shortcut does not name tool.dat" ;;
    *) fail "the shortcut in Programs: '$link'" ;;
esac

# Removed through the command the setup program registered, silently.
guid=$(sed -n 's/^ *ProductID = \({.*}\)$/\1/p' "$work/saved.txt")
uninstall=$("$wine_run" reg query "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$guid" \
    /v UninstallString 2>/dev/null | tr -d '\r' | sed -n 's/^ *UninstallString *REG_SZ *//p')
if [ -n "$uninstall" ]; then
    # Split as the system splits a command line (the quoted database path is one word); backslashes are
    # doubled first, so that eval keeps them.
    command=$(printf "%s\n" "$uninstall" | sed "s/ -\([A-Z]*\) / -S\1 /; s/\\\\/\\\\\\\\/g")
    eval "set -- $command"
    "$wine_run" "$@" </dev/null >/dev/null 2>&1 || fail "the removal ended with $?"
    [ -e "$installed/Bin/tool.dat" ] && fail "the removal left the files"
else
    fail "no uninstall entry for $guid"
fi
rm -rf "$installed"
finish "folders page"
