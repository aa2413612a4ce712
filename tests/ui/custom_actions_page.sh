#!/bin/sh
# The authoring program's Custom Actions page worked as a person would: actions added with the Insert key
# and the context menu, the custom action dialog's messages in their order and its enabled controls, a
# library (SETUP.DLL) that asks for a function name and keeps no arguments, a program waited for without
# limit, bad timeouts, a target that cannot be read, an action deleted through the confirmation, the run
# order changed, Cancel and an unchanged OK that leave the project unmodified; saved, read back with
# tessaro dump, reopened and shown again; the project built and the program action run by its setup
# program in test mode.
# Arguments: the x86_64 tree, the native tree, the wine runner.
tree=$1
native=$2
wine_run=$3
driver="$tree/tests/ui/uidriver.exe"
. "$(dirname "$0")/ui_test.sh"

rows() { drive "list|$T|1840" | tr -d '\r'; }

project="$work/project"
"$native/tests/tools/write_wizard_project" "$project" "$tree/tests/ui/wizard_action.exe" \
    "$tree/tests/ui/wizard_action.dll" actions >/dev/null || fail "writing the project"
files="$project/files"
convert -size 525x85 xc:'#3060c0' BMP3:"$files/banner.bmp"  # the Welcome page's banner
program="$tree/author/Tessaro.exe"
T="Tessaro - wizard.tsp"
A="Add New Custom Action"
P="Custom Action Properties"
# The message box of a failed check: its text, then OK; the dialog stays open.
refused() {
    drive "click|$1|1" "wait|Tessaro" "expect|Tessaro|65535|$2" "click|Tessaro|1" "gone|Tessaro" "wait|$1" ||
        fail "OK did not answer \"$2\""
}
# Chooses a file of the project in "Select File": the folder's path from the root and the file's row.
choose() {
    drive "click|$1|1864" "wait|Select File" "tree-select|Select File|1351|$2" "list-select|Select File|1352|$3" \
        "click|Select File|1" "gone|Select File" || fail "choosing row $3 of $2"
}

launch "$T" "$program" "$(winpath "$project/wizard.tsp")"
drive "command|$T|40015" "wait|$T" || fail "the Custom Actions page"
[ -z "$(rows)" ] || fail "a new project lists actions: $(rows)"

# ---- Insert: a new action's controls; the messages of OK in their order ----
drive "key|$T|1840|Insert" "wait|$A" || fail "Insert did not open \"$A\""
drive "checked|$A|1870|1" "checked|$A|1871|0" "checked|$A|1872|0" "checked|$A|1873|0" "checked|$A|1880|1" \
    "checked|$A|1879|0" "checked|$A|1874|0" "expect|$A|1869|After the Finish dialog box" "expect|$A|1863|" \
    "enabled|$A|1866|1" "enabled|$A|1868|0" "enabled|$A|1874|1" "enabled|$A|1876|0" "enabled|$A|1878|0" ||
    fail "the controls of a new action"
drive "type|$A|1861|Setup" "type|$A|1866|dropped for a library" "check|$A|1870|0" "sleep|200" ||
    fail "typing the name"
refused "$A" "Please specify when you want to run the custom action."
drive "check|$A|1871|1" "check|$A|1873|1" "sleep|200" || fail "run during"
refused "$A" "Please select a file for this custom action."
# The Source Folder holds action.exe, action.dll and SETUP.DLL, in that order.
choose "$A" "Source Folder" 2
drive "expect|$A|1863|<Source Folder>\\SETUP.DLL" "sleep|200" "enabled|$A|1866|0" "enabled|$A|1868|1" \
    "enabled|$A|1874|0" "checked|$A|1874|0" "enabled|$A|1876|0" "enabled|$A|1878|0" ||
    fail "a library's controls"
refused "$A" "Please enter a function name to be called for this custom action."
drive "type|$A|1868|Install" "click|$A|1" "gone|$A" || fail "OK with a function name"
[ "$(rows)" = "*Setup | SETUP.DLL | Install | After the Finish dialog box" ] || fail "the library's row: $(rows)"

# ---- the context menu from the keyboard: Add; a program waited for, bad timeouts, Infinite ----
drive "menu-key|$T|1840" || fail "the menu key"
menu=$(drive "popup-menu" | tr -d '\r')
expected="1842 Add	Insert
1843 Delete	Delete
1844 Change	F2
-
1845 Move Up (grayed)
1846 Move Down (grayed)"
[ "$menu" = "$expected" ] || fail "the menu with one action selected: $menu"
drive "menu-choose|0" "wait|$A" || fail "Add from the menu"
# A file that cannot be read is no target: one message, the field stays empty.
mv "$files/readme.txt" "$files/readme.moved"
choose "$A" "Target Folder\\Docs" 0
drive "wait|Tessaro" "expect|Tessaro|65535|Cannot open the file \"$(winpath "$files/readme.txt")\"!" \
    "click|Tessaro|1" "gone|Tessaro" "expect|$A|1863|" || fail "a target that cannot be read"
mv "$files/readme.moved" "$files/readme.txt"
choose "$A" "Source Folder" 0
drive "expect|$A|1863|<Source Folder>\\action.exe" "type|$A|1861|Log" "type|$A|1866|from-the-page" \
    "type|$A|1868|dropped for a program" "select|$A|1869|0" "check|$A|1874|1" "sleep|200" \
    "enabled|$A|1876|1" "enabled|$A|1878|1" || fail "a program waited for"
drive "type|$A|1876|-5" && refused "$A" "Please enter a positive number for the Timeout."
drive "type|$A|1876|12 s" && refused "$A" "Please enter a positive number for the Timeout."
drive "type|$A|1876|99999999999" && refused "$A" "The Timeout is too long: it is at most 2147483647 milliseconds."
drive "check|$A|1878|1" "sleep|200" "enabled|$A|1876|0" "click|$A|1" "gone|$A" || fail "OK with Infinite"
rows >"$work/rows"
printf '%s\n' "Setup | SETUP.DLL | Install | After the Finish dialog box" \
    "*Log | action.exe |  | Before the Welcome dialog box" | diff - "$work/rows" >/dev/null ||
    fail "two actions: $(cat "$work/rows")"

# ---- an action deleted through the confirmation; No keeps it ----
drive "key|$T|1840|Insert" "wait|$A" "type|$A|1861|Doomed" || fail "a third action"
choose "$A" "Target Folder\\Bin" 0
drive "click|$A|1" "gone|$A" || fail "the third action"
drive "key|$T|1840|Delete" "wait|Warning!" \
    "expect|Warning!|1742|Are you sure you want to delete the custom action \"Doomed\"?" "click|Warning!|7" \
    "gone|Warning!" || fail "No to the delete question"
[ "$(rows | wc -l)" = 3 ] || fail "No deleted the action: $(rows)"
drive "key|$T|1840|Delete" "wait|Warning!" "click|Warning!|6" "gone|Warning!" || fail "Yes to the delete question"
rows >"$work/rows"
printf '%s\n' "Setup | SETUP.DLL | Install | After the Finish dialog box" \
    "*Log | action.exe |  | Before the Welcome dialog box" | diff - "$work/rows" >/dev/null ||
    fail "after the delete: $(cat "$work/rows")"

# ---- the run order: Log moved up with the mouse's menu ----
drive "list-click|$T|1840|1|right" "sleep|300" || fail "the right click"
menu=$(drive "popup-menu" | tr -d '\r')
case $menu in
    *"1845 Move Up"*"1846 Move Down (grayed)"*) ;;
    *) fail "the menu on the last row: $menu" ;;
esac
case $menu in *"1845 Move Up (grayed)"*) fail "Move Up grayed on the last row" ;; esac
drive "menu-choose|3" "sleep|300" || fail "Move Up"
rows >"$work/rows"
printf '%s\n' "*Log | action.exe |  | Before the Welcome dialog box" \
    "Setup | SETUP.DLL | Install | After the Finish dialog box" | diff - "$work/rows" >/dev/null ||
    fail "after Move Up: $(cat "$work/rows")"
drive "command|$T|40003" "sleep|500" "command|$T|40006" "gone|$T" || fail "saving and leaving"
ended || fail "the program did not end after Save and Exit"

text_round_trip "$native/cli/tessaro" "$project/wizard.tsp"
"$native/cli/tessaro" dump "$project/wizard.tsp" | tr -d '\r' >"$work/saved.txt"
# The two actions in their run order, every field as the dialog stored it (files 6 action.exe, 8 SETUP.DLL).
awk '/^ *Actions /{ depth = match($0, /[^ ]/); inside = 1; next }
     inside && match($0, /[^ ]/) <= depth { inside = 0 }
     inside' "$work/saved.txt" | grep -v '^ *Arr[0-9]' | sed 's/^ *//' >"$work/actions.txt"
cat >"$work/expected.txt" <<'END'
Name = "Log"
Target = 6  -> <Source Folder>\action.exe
Description  (empty)
Arguments = "from-the-page"
Function  (empty)
InvokeAfter = 1
WaitTime = -1 (0xFFFFFFFF)
RunDuring = 1
IgnoreReturnValue = 0
RunOnce = 1
Name = "Setup"
Target = 8  -> <Source Folder>\SETUP.DLL
Description  (empty)
Arguments  (empty)
Function = "Install"
InvokeAfter = 10 (0xA)
WaitTime = 0
RunDuring = 10 (0xA)
IgnoreReturnValue = 0
RunOnce = 1
END
diff "$work/expected.txt" "$work/actions.txt" >"$work/actions.diff" || fail "the saved actions: $(cat "$work/actions.diff")"
grep -q 'Doomed' "$work/saved.txt" && fail "the deleted action was saved"

# ---- reopened: shown again; Cancel and an unchanged OK change nothing ----
start "$program" "$(winpath "$project/wizard.tsp")"
drive "wait|$T" "command|$T|40015" "wait|$T" || fail "reopening"
rows >"$work/rows"
printf '%s\n' "*Log | action.exe |  | Before the Welcome dialog box" \
    "Setup | SETUP.DLL | Install | After the Finish dialog box" | diff - "$work/rows" >/dev/null ||
    fail "after reopening: $(cat "$work/rows")"
drive "list-click|$T|1840|0|double" "wait|$P" "expect|$P|1861|Log" "expect|$P|1863|<Source Folder>\\action.exe" \
    "expect|$P|1866|from-the-page" "expect|$P|1868|" "checked|$P|1874|1" "checked|$P|1878|1" \
    "enabled|$P|1876|0" "checked|$P|1870|1" "checked|$P|1871|0" "checked|$P|1873|0" \
    "expect|$P|1869|Before the Welcome dialog box" || fail "the program action shown again"
drive "type|$P|1861|Changed but cancelled" "click|$P|2" "gone|$P" || fail "Cancel"
drive "list-click|$T|1840|1|left" "key|$T|1840|F2" "wait|$P" "expect|$P|1868|Install" "expect|$P|1866|" \
    "enabled|$P|1874|0" "click|$P|1" "gone|$P" || fail "F2 and an unchanged OK"
drive "command|$T|40001" "wait|Tessaro - Project2" "command|Tessaro - Project2|40006" "gone|Tessaro - Project2" ||
    fail "Cancel or an unchanged OK marked the project modified"
ended || fail "the program did not end"

# ---- built, the program action runs before the Welcome page of the setup program in test mode ----
export WIZARD_ACTION_LOG="$work/actions.log"
: >"$WIZARD_ACTION_LOG"
"$native/cli/tessaro" build "$project/wizard.tsp" --out "$project/media" --raw-setup "$tree/setup/TSS.dat" \
    >"$work/build.log" 2>&1 || { cat "$work/build.log"; fail "building the media"; }
media=$(dirname "$(find "$project/media" -name Setup.exe | head -1)")
start "$media/Setup.exe" -T
w="Gadget Setup - Welcome (Test Mode)"
drive "wait|$w|30000" || fail "the setup program did not start"
[ "$(tr -d '\r' <"$WIZARD_ACTION_LOG")" = "from-the-page" ] || fail "the action logged: $(cat "$WIZARD_ACTION_LOG")"
drive "click|$w|2" "wait|Gadget Setup" "click|Gadget Setup|6" "gone|$w" || fail "quitting the setup program"
ended 10 || fail "the setup program did not end"

finish "custom actions page"
