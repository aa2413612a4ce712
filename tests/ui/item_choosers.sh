#!/bin/sh
# The authoring program's item choosers ("Select File", "Select Folder", "Select Registry Key", "Select
# Registry Value") and its shortcut dialog, worked through the UI driver as a person would, on a project
# with folders, files, keys and values: OK hands back the item chosen and the check box, "No Selection"
# none, Cancel nothing; the shortcut dialog checks its name, chooses its items with the choosers, shows
# an icon only where the file holds one, writes back on OK only, and keeps a show command it has no
# entry for.
# Arguments: the x86_64 tree's tests/ui folder, the wine runner, a folder for screenshots.
ui=$1
wine_run=$2
shots=$3
driver="$ui/uidriver.exe"
. "$(dirname "$0")/ui_test.sh"
mkdir -p "$shots"

# The project's files: a program, two libraries, a text, an "icon" that is none and an icon.
files="$work/files"
mkdir -p "$files"
printf 'MZ not really' >"$files/app.exe"
printf 'MZ not really' >"$files/tools.dll"
printf 'MZ not really' >"$files/plugin.dll"
printf 'Read me.\r\n' >"$files/readme.txt"
printf 'This is no icon.\r\n' >"$files/broken.ico"
convert -size 32x32 xc:'#d02020' "$files/widget.ico"
dir="Z:$(echo "$files" | tr / '\\')"

host() { "$wine_run" "$ui/author_dialog_host.exe" "$dir" "$@" >"$work/answer" 2>&1 </dev/null & host_pid=$!; }
answer_is() {  # expected answer (several lines for the shortcut); waits for the host to end
    wait "$host_pid"
    got=$(tr -d '\r' <"$work/answer")
    [ "$got" = "$1" ] || fail "the dialog answered \"$got\", expected \"$1\""
}
shoot() { drive "sleep|300" && import -display "$DISPLAY" -window root "$shots/$1" || fail "no picture $1"; }
# A click of the mouse reaches the dialog after the driver has gone on: wait until the tree shows it, or the
# list shows those rows (joined by spaces).
tree_selected() {  # title, control, text of the item
    for _ in $(seq 1 40); do
        drive "tree|$1|$2" | tr -d '\r' | grep -q "^ *\*$3\$" && return 0
        sleep 0.25
    done
    return 1
}
list_is() {  # title, control, rows
    for _ in $(seq 1 40); do
        [ "$(drive "list|$1|$2" | tr -d '\r' | tr '\n' ' ')" = "$3" ] && return 0
        sleep 0.25
    done
    return 1
}
# The message box "Tessaro" with that text, closed with its OK.
message_is() {
    drive "wait|Tessaro" "expect|Tessaro|65535|$1" "click|Tessaro|1" "gone|Tessaro" || fail "no message \"$1\""
}

# ---- Select File: opens on the current file; OK without a file asks for one; a double click takes it ----
F="Select File"
host choose file '<Target Folder>\Bin\tools.dll'
drive "wait|$F" "visible|$F|1352|1" "visible|$F|1355|0" "expect|$F|1353|No Selection" "expect|$F|1|OK" \
    "expect|$F|2|Cancel" "expect|$F|1354|Help" || fail "Select File's controls"
drive "tree|$F|1351" | tr -d '\r' >"$work/tree"
printf '%s\n' 'Target Folder' '  *Bin' '    Plugins' '  Docs' Programs | diff - "$work/tree" >/dev/null ||
    fail "Select File's tree: $(cat "$work/tree")"
[ "$(drive "list|$F|1352" | tr -d '\r' | tr '\n' ' ')" = "app.exe *tools.dll " ] ||
    fail "Select File's list: $(drive "list|$F|1352")"
shoot chooser-file.png
drive "tree-click|$F|1351|Target Folder\\Docs|left" && tree_selected "$F" 1351 Docs || fail "clicking Docs"
list_is "$F" 1352 "readme.txt broken.ico widget.ico " || fail "the files of Docs: $(drive "list|$F|1352")"
drive "click|$F|1"
message_is "Please select a file."
drive "list-click|$F|1352|0|double" "gone|$F" || fail "double click on readme.txt"
answer_is 'chosen <Target Folder>\Docs\readme.txt sub=0'

host choose file '<Target Folder>\Bin\app.exe'
drive "wait|$F" "click|$F|1353" "gone|$F" || fail "No Selection"
answer_is "none sub=0"
host choose file '<Target Folder>\Bin\app.exe'
drive "wait|$F" "list-select|$F|1352|1" "command|$F|2" "gone|$F" || fail "Cancel"
answer_is "cancel"

# ---- Select Folder: the tree alone with "Include Sub-Folders", handed back with the folder ----
F="Select Folder"
host choose folder '<Target Folder>\Bin' 0
drive "wait|$F" "visible|$F|1352|0" "visible|$F|1355|1" "expect|$F|1355|Include Sub-Folders" \
    "checked|$F|1355|0" || fail "Select Folder's controls"
drive "tree|$F|1351" | tr -d '\r' | grep -qx '  \*Bin' || fail "Select Folder does not open on Bin"
shoot chooser-folder.png
drive "tree-click|$F|1351|Target Folder\\Bin\\Plugins|left" && tree_selected "$F" 1351 Plugins &&
    drive "check|$F|1355|1" "click|$F|1" "gone|$F" || fail "choosing Plugins"
answer_is 'chosen <Target Folder>\Bin\Plugins sub=1'
host choose folder '<Target Folder>\Bin' 1
drive "wait|$F" "checked|$F|1355|1" "click|$F|1353" "gone|$F" || fail "Select Folder's No Selection"
answer_is "none sub=1"

# ---- Select Registry Key: the five roots and their keys, no values; "Include Sub-Keys" ----
F="Select Registry Key"
host choose key
drive "wait|$F" "visible|$F|1352|0" "expect|$F|1355|Include Sub-Keys" || fail "Select Registry Key's controls"
drive "tree|$F|1351" | tr -d '\r' >"$work/tree"
printf '%s\n' '*HKEY_CLASSES_ROOT' HKEY_CURRENT_USER '  Software' '    Widget' HKEY_LOCAL_MACHINE '  Software' \
    '    Widget' '      Settings' HKEY_USERS 'Installation Type Dependant' | diff - "$work/tree" >/dev/null ||
    fail "the key tree: $(cat "$work/tree")"
drive "tree-select|$F|1351|HKEY_LOCAL_MACHINE\\Software\\Widget\\Settings" || fail "selecting Settings"
drive "tree|$F|1351" | tr -d '\r' | grep -q 'Version\|Theme\|Default' && fail "values in the key tree"
shoot chooser-key.png
drive "check|$F|1355|1" "click|$F|1" "gone|$F" || fail "choosing Settings"
answer_is 'chosen HKEY_LOCAL_MACHINE\Software\Widget\Settings sub=1'
host choose key 'HKEY_CURRENT_USER\Software\Widget'
drive "wait|$F" "command|$F|2" "gone|$F" || fail "Select Registry Key's Cancel"
answer_is "cancel"

# ---- Select Registry Value: the key's values with their types and data; Enter takes the one selected ----
F="Select Registry Value"
host choose value 'HKEY_LOCAL_MACHINE\Software\Widget\Count'
drive "wait|$F" "visible|$F|1352|1" "visible|$F|1355|0" || fail "Select Registry Value's controls"
drive "list|$F|1352" | tr -d '\r' >"$work/values"
printf '%s\n' '(Default) | REG_SZ | Widget' 'Version | REG_SZ | 1.0' '*Count | REG_DWORD | 0xffffffff (-1)' |
    diff - "$work/values" >/dev/null || fail "the values: $(cat "$work/values")"
shoot chooser-value.png
rows="(Default) | REG_SZ | Widget *Version | REG_SZ | 1.0 Count | REG_DWORD | 0xffffffff (-1) "
drive "list-click|$F|1352|1|left" && list_is "$F" 1352 "$rows" &&
    drive "key|$F|1352|Return" "gone|$F" || fail "Enter on Version"
answer_is 'chosen HKEY_LOCAL_MACHINE\Software\Widget\Version sub=0'
host choose value
drive "wait|$F" "tree-click|$F|1351|HKEY_CURRENT_USER\\Software\\Widget|left" && tree_selected "$F" 1351 Widget ||
    fail "an empty key"
[ -z "$(drive "list|$F|1352" | tr -d '\r')" ] || fail "values listed for a key without any"
drive "click|$F|1"
message_is "Please select a registry value."
drive "click|$F|1353" "gone|$F" || fail "Select Registry Value's No Selection"
answer_is "none sub=0"

# ---- The shortcut dialog ----
S="Shortcut Properties"
fields() {  # the host's answer after the first line
    printf 'name=%s\ndescription=%s\nlocation=%s\ntarget=%s\narguments=%s\nrun=%s\nstart=%s\nicon=%s\nindex=%s' "$@"
}
preview() { drive "pixel|$S|1975|16|16" | tr -d '\r'; }  # the middle of the icon preview
host shortcut 3
drive "wait|$S" "expect|$S|1961|Widget" "expect|$S|1962|Starts the widget" "expect|$S|1963|<Programs>" \
    "expect|$S|1965|<Target Folder>\\Bin\\app.exe" "expect|$S|1967|/quiet" "expect|$S|1968|<Target Folder>\\Bin" \
    "expect|$S|1970|Maximixed" "expect|$S|1971|<Target Folder>\\Docs\\widget.ico" "expect|$S|1973|0" ||
    fail "the shortcut's fields"
with_icon=$(preview)
shoot shortcut.png
# The name is required; a refused OK keeps the dialog open.
drive "type|$S|1961|" "click|$S|1"
message_is "Please enter a name for this shortcut."
drive "type|$S|1961|Widget?Tool" "click|$S|1" "wait|Tessaro" "text|Tessaro|65535" >"$work/message" ||
    fail "no message for a name with a question mark"
tr -d '\r' <"$work/message" >"$work/message.txt"
printf '%s\n' 'A shortcut name cannot contain any of the following characters:' '\ / : * ? " < > |' |
    diff - "$work/message.txt" >/dev/null ||
    fail "the message for a name with a question mark: $(cat "$work/message")"
drive "click|Tessaro|1" "gone|Tessaro" || fail "closing the message"
drive "visible|$S|1961|1" || fail "the dialog closed on a refused name"
drive "type|$S|1961|Widget Tool" "type|$S|1962|Tool of the widget" "type|$S|1967|-t" "select|$S|1970|1" ||
    fail "typing the fields"
# Location: a folder; Target: a file; Start In: none.
drive "click|$S|1964" "wait|Select Folder" "tree-click|Select Folder|1351|Target Folder\\Docs|left" &&
    tree_selected "Select Folder" 1351 Docs && drive "click|Select Folder|1" "gone|Select Folder" \
    "expect|$S|1963|<Target Folder>\\Docs" || fail "Location"
drive "click|$S|1966" "wait|Select File" "list-click|Select File|1352|1|double" "gone|Select File" \
    "expect|$S|1965|<Target Folder>\\Bin\\tools.dll" || fail "Target"
drive "click|$S|1969" "wait|Select Folder" "click|Select Folder|1353" "gone|Select Folder" "expect|$S|1968|" ||
    fail "Start In"
# An icon file that holds no icon shows nothing and says nothing; so does an index past the file's icons.
drive "click|$S|1972" "wait|Select File" "tree-click|Select File|1351|Target Folder\\Docs|left" &&
    tree_selected "Select File" 1351 Docs && drive "list-click|Select File|1352|1|double" "gone|Select File" \
    "expect|$S|1971|<Target Folder>\\Docs\\broken.ico" || fail "the broken icon file"
drive "sleep|300" "gone|Tessaro|300" "gone|Error|300" || fail "a message for a file without icons"
without_icon=$(preview)
[ "$without_icon" != "$with_icon" ] || fail "the same picture for widget.ico and a file without icons"
drive "click|$S|1972" "wait|Select File" "list-click|Select File|1352|2|double" "gone|Select File" \
    "expect|$S|1971|<Target Folder>\\Docs\\widget.ico" "type|$S|1973|5" "sleep|300" || fail "index 5"
drive "gone|Tessaro|300" || fail "a message for an index past the icons"
[ "$(preview)" = "$without_icon" ] || fail "a picture for icon 5 of a file with one icon"
drive "type|$S|1973|0" "sleep|300" || fail "index 0"
[ "$(preview)" = "$with_icon" ] || fail "not the picture of icon 0 again"
drive "click|$S|1" "gone|$S" || fail "OK"
answer_is "ok
$(fields 'Widget Tool' 'Tool of the widget' '<Target Folder>\Docs' '<Target Folder>\Bin\tools.dll' -t 7 '' \
    '<Target Folder>\Docs\widget.ico' 0)"

# Shown and accepted unchanged: every field as it was, a show command without entry kept.
host shortcut 5
drive "wait|$S" "expect|$S|1970|" "click|$S|1" "gone|$S" || fail "OK on a show command without entry"
unchanged() {
    fields Widget 'Starts the widget' '<Programs>' '<Target Folder>\Bin\app.exe' /quiet "$1" '<Target Folder>\Bin' \
        '<Target Folder>\Docs\widget.ico' 0
}
answer_is "ok
$(unchanged 5)"
# Cancel after changes writes nothing back.
host shortcut 7
drive "wait|$S" "expect|$S|1970|Minimized" "type|$S|1961|Other" "select|$S|1970|2" "click|$S|1969" \
    "wait|Select Folder" "click|Select Folder|1353" "gone|Select Folder" "command|$S|2" "gone|$S" ||
    fail "Cancel after changes"
answer_is "cancel
$(unchanged 7)"

finish "item choosers"
