#!/bin/sh
# The authoring program's User Interface page worked as a person would: every category shows exactly its
# controls, and switching them changes nothing; the radio buttons of the user-interface type come back to
# the full wizard; a licence file, a banner of one page, the finish page's files, choices and restart
# question, and hidden pages are set, saved and shown again after reopening; a path too long and a file
# that cannot be read are refused with a message. The project is then built and its setup wizard, walked
# in test mode, shows the licence text, the banner and the finish choices that were set on the page.
# Arguments: the x86_64 tree, the native tree, the wine runner.
tree=$1
native=$2
wine_run=$3
driver="$tree/tests/ui/uidriver.exe"
. "$(dirname "$0")/ui_test.sh"


# A project with files and the user-interface settings of a new project; a licence text and a banner
# picture of a colour that no built-in banner has.
project="$work/project"
"$native/tests/tools/write_wizard_project" "$project" "$tree/tests/ui/wizard_action.exe" \
    "$tree/tests/ui/wizard_action.dll" plain >/dev/null || fail "writing the project"
files="$project/files"
printf 'Licence chosen on the User Interface page.\r\n' >"$files/licence.txt"
printf 'A licence held open by another program.\r\n' >"$files/locked.txt"
convert -size 525x85 xc:'#c03060' BMP3:"$files/licence-banner.bmp"
program="$tree/author/Tessaro.exe"
T="Tessaro - wizard.tsp"

# Every control of the page's categories, and those each category shows.
all_controls="1621 1622 1623 1624 1625 1630 1631 1632 1633 1634 1635 1636 1637 1638 1639 1640 1641 1642 1643 1644
1645 1646 1647 1648 1650 1651 1652 1655 1656 1657 1660 1661 1662 1663 1664 1665 1666 1667 1668 1669 1670 1671"
page_controls="1622 1623 1624 1625"
shown_in() {
    case $1 in
        0) echo 1630 1631 1632 1633 1634 1635 1636 1637 1638 1639 ;;
        2) echo 1621 $page_controls 1640 1641 1642 1643 1644 1645 1646 1647 1648 ;;
        3) echo 1621 $page_controls 1650 1651 1652 ;;
        4) echo 1621 $page_controls 1655 1656 1657 ;;
        5 | 6 | 7) echo 1621 $page_controls ;;
        9) echo $page_controls 1660 1661 1662 1663 1664 1665 1666 1667 1668 1669 1670 1671 ;;
        *) echo $page_controls ;;
    esac
}
show_page_text() {
    case $1 in
        2) echo "Show License Agreement Dialog box" ;;
        3) echo "Show User Information Dialog box" ;;
        4) echo "Show Destination Folder Dialog box" ;;
        5) echo "Show Setup Type Dialog box" ;;
        6) echo "Show Features Dialog box" ;;
        7) echo "Show Confirmation Dialog box" ;;
    esac
}
category() { drive "list-select|$T|1620|$1" || fail "selecting category $1"; }

start "$program" "$(winpath "$project/wizard.tsp")"
drive "wait|$T" "command|$T|40016" "wait|$T" || fail "the User Interface page"
drive "list|$T|1620" | tr -d '\r' >"$work/categories"
printf '%s\n' '*General' Welcome 'License Agreement' 'User Information' 'Destination Folder' 'Setup Type' Features \
    Confirmation Progress Finish | diff - "$work/categories" >/dev/null || fail "categories: $(cat "$work/categories")"

# ---- each category shows exactly its controls; the pages' boxes say which page ----
for c in 0 1 2 3 4 5 6 7 8 9; do
    category "$c"
    shown=" $(shown_in "$c") "
    set --
    for id in $all_controls; do
        case $shown in
            *" $id "*) set -- "$@" "visible|$T|$id|1" ;;
            *) set -- "$@" "visible|$T|$id|0" ;;
        esac
    done
    text=$(show_page_text "$c")
    [ -n "$text" ] && set -- "$@" "expect|$T|1621|$text" "checked|$T|1621|1"
    drive "$@" || fail "the controls of category $c"
done
# Only switching: nothing to save, so New asks nothing (the project at start-up was the first new one);
# the project opens again from the recent files.
drive "command|$T|40001" "wait|Tessaro - Project2" "command|Tessaro - Project2|33001" "wait|$T" ||
    fail "switching the categories marked the project modified"

# ---- General: a click on the checked radio button clears it, which is the full wizard ----
category 0
drive "click|$T|1634" "sleep|200" "checked|$T|1634|1" "checked|$T|1635|0" \
    "click|$T|1635" "sleep|200" "checked|$T|1634|0" "checked|$T|1635|1" \
    "click|$T|1635" "sleep|200" "checked|$T|1634|0" "checked|$T|1635|0" || fail "the user-interface type"

# ---- License Agreement: a path too long, a file that cannot be read, a licence file, the page's banner ----
category 2
long="C:\\$(printf '%0300d' 0)"
drive "type|$T|1641|$long" "wait|Tessaro" \
    "expect|Tessaro|65535|The path is too long: a path has at most 259 characters!" "click|Tessaro|1" \
    "gone|Tessaro" "expect|$T|1641|" || fail "a path too long"
"$wine_run" "$tree/tests/ui/wizard_action.exe" lock "$(winpath "$files/locked.txt")" >/dev/null 2>&1 </dev/null &
holder_pid=$!
drive "wait|Holding a file" "click|$T|1645" "wait|Open" "type|Open|1148|$(winpath "$files/locked.txt")" \
    "click|Open|1" "gone|Open" "wait|Tessaro" \
    "expect|Tessaro|65535|Cannot open the file \"$(winpath "$files/locked.txt")\"!" "click|Tessaro|1" \
    "gone|Tessaro" "expect|$T|1644|" || fail "a licence file that cannot be read"
drive "syscommand|Holding a file|61536" "gone|Holding a file" || fail "letting the locked file go"
wait "$holder_pid" 2>/dev/null
drive "click|$T|1642" "wait|Open" "type|Open|1148|$(winpath "$files/licence.txt")" "click|Open|1" "gone|Open" \
    "expect|$T|1641|$(winpath "$files/licence.txt")" || fail "choosing licence file 1"
drive "click|$T|1624" "wait|Open" "type|Open|1148|$(winpath "$files/licence-banner.bmp")" "click|Open|1" \
    "gone|Open" "expect|$T|1623|$(winpath "$files/licence-banner.bmp")" || fail "choosing the licence page's banner"
# The banner is the page's own: the Welcome page has none.
category 1
drive "expect|$T|1623|" || fail "the Welcome page shows the licence page's banner"

# ---- Finish: the run and readme files of the project, the two options ----
category 9
drive "click|$T|1662" "wait|Select File" "tree-select|Select File|1351|Target Folder\\Bin" \
    "list-select|Select File|1352|0" "click|Select File|1" "gone|Select File" \
    "expect|$T|1661|<Target Folder>\\Bin\\tool.exe" || fail "choosing the run file"
drive "click|$T|1665" "wait|Select File" "tree-select|Select File|1351|Target Folder\\Docs" \
    "list-select|Select File|1352|1" "click|Select File|1" "gone|Select File" \
    "expect|$T|1664|<Target Folder>\\Docs\\help.txt" || fail "choosing a readme file"
# No Selection takes the file away, Cancel leaves it, and the readme is chosen after all.
drive "click|$T|1665" "wait|Select File" "click|Select File|1353" "gone|Select File" "expect|$T|1664|" \
    "click|$T|1662" "wait|Select File" "click|Select File|2" "gone|Select File" \
    "expect|$T|1661|<Target Folder>\\Bin\\tool.exe" || fail "No Selection and Cancel"
drive "click|$T|1665" "wait|Select File" "tree-select|Select File|1351|Target Folder\\Docs" \
    "list-select|Select File|1352|0" "click|Select File|1" "gone|Select File" \
    "expect|$T|1664|<Target Folder>\\Docs\\readme.txt" || fail "choosing the readme file"
drive "select|$T|1667|2" "select|$T|1669|1" "sleep|200" || fail "the finish options"
drive "command|$T|40003" "sleep|500" "command|$T|40006" "gone|$T" || fail "saving and leaving"
ended || fail "the program did not end after Save and Exit"

text_round_trip "$native/cli/tessaro" "$project/wizard.tsp"
"$native/cli/tessaro" dump "$project/wizard.tsp" | tr -d '\r' >"$work/saved.txt"
for line in 'UIType = 2' 'RunOption = 2' 'ReadmeOption = 1' 'ShowRestart = 0' \
    'ShowPage = 20 bytes: 01 01 01 01 01 01 01 01 01 00'; do
    grep -qF "$line" "$work/saved.txt" || fail "the saved project lacks \"$line\""
done
grep -q 'LicenseFiles\[0\] = ".*licence.txt"' "$work/saved.txt" || fail "licence file 1 was not saved"
grep -q 'LicenseFiles\[1\]  (empty)' "$work/saved.txt" || fail "the unreadable licence file was saved"
grep -q 'Arr1 = ".*licence-banner.bmp"' "$work/saved.txt" || fail "the licence page's banner was not saved"
grep -q 'Arr0  (empty)' "$work/saved.txt" || fail "the Welcome page got a banner"

# ---- reopened: the page shows what was saved; the restart question and hidden pages set ----
start "$program" "$(winpath "$project/wizard.tsp")"
drive "wait|$T" "command|$T|40016" "wait|$T" || fail "reopening"
category 2
drive "expect|$T|1641|$(winpath "$files/licence.txt")" "expect|$T|1623|$(winpath "$files/licence-banner.bmp")" \
    || fail "the licence page's settings after reopening"
category 9
drive "expect|$T|1661|<Target Folder>\\Bin\\tool.exe" "expect|$T|1664|<Target Folder>\\Docs\\readme.txt" \
    "expect|$T|1667|Ask the user (default: Checked)" "expect|$T|1669|Ask the user (default: Unchecked)" \
    "expect|$T|1671|Ask the user, only if it is needed" || fail "the finish settings after reopening"

# ---- the built setup program shows what the page set ----
build_media() {
    rm -rf "$project/media"
    "$native/cli/tessaro" build "$project/wizard.tsp" --out "$project/media" --raw-setup "$tree/setup/TSS.dat" \
        >"$work/build.log" 2>&1 || { cat "$work/build.log"; fail "building the media"; }
    media=$(dirname "$(find "$project/media" -name Setup.exe | head -1)")
}
# The banner's colour below the header texts: white in the built-in banner, the picture's own elsewhere.
banner_colour() { drive "pixel|$1|1009|200|75" | tr -d '\r'; }
build_media
start "$media/Setup.exe" -T
w="Gadget Setup - Welcome (Test Mode)"
l="Gadget Setup - License (Test Mode)"
u="Gadget Setup - User Information (Test Mode)"
e="Gadget Setup - Finish (Test Mode)"
drive "wait|$w|30000" || fail "the setup program did not start"
[ "$(banner_colour "$w")" = FFFFFF ] || fail "the Welcome page's banner shows $(banner_colour "$w")"
drive "click|$w|3" "wait|$l" || fail "Next to the licence page"
[ "$(banner_colour "$l")" = C03060 ] || fail "the licence page's banner shows $(banner_colour "$l")"
[ "$(text_of "$l" 2201)" = "Licence chosen on the User Interface page." ] || fail "licence: $(text_of "$l" 2201)"
drive "click|$l|5" "wait|$u" "type|$u|2303|Ann" "type|$u|2305|Acme" "click|$u|3" \
    "wait|Gadget Setup - Destination Folder (Test Mode)" "click|Gadget Setup - Destination Folder (Test Mode)|3" \
    "wait|Gadget Setup - Setup Types (Test Mode)" "click|Gadget Setup - Setup Types (Test Mode)|3" \
    "wait|Gadget Setup - Confirmation (Test Mode)" "click|Gadget Setup - Confirmation (Test Mode)|3" \
    "wait|$e|60000" || fail "the walk to the Finish page"
drive "expect|$e|2903|Open Readme file" "checked|$e|2903|0" "expect|$e|2904|Run \"tool.exe\"" \
    "checked|$e|2904|1" || fail "the finish choices"
drive "check|$e|2903|0" "check|$e|2904|0" "click|$e|6" "gone|$e" || fail "Finish"
ended 10 || fail "the setup program did not end"

# Always ask about the restart; hide every page that can be hidden. Their boxes say so after a switch.
category 9
drive "select|$T|1671|0" || fail "the restart question"
for c in 2 3 4 5 6 7; do
    category "$c"
    drive "check|$T|1621|0" "sleep|100" || fail "hiding the page of category $c"
done
category 2
drive "checked|$T|1621|0" "command|$T|40003" "sleep|500" "command|$T|40006" "gone|$T" ||
    fail "saving the hidden pages"
ended || fail "the program did not end"
"$native/cli/tessaro" dump "$project/wizard.tsp" | tr -d '\r' >"$work/saved.txt"
grep -qF 'ShowPage = 20 bytes: 01 00 00 00 00 00 00 01 01 00' "$work/saved.txt" || fail "hidden pages not saved"
grep -qF 'ShowRestart = 1' "$work/saved.txt" || fail "the restart question was not saved"
build_media
start "$media/Setup.exe" -T
drive "wait|$w|30000" "click|$w|3" "wait|$e|60000" "expect|$e|2903|Restart Now" "checked|$e|2903|1" \
    "visible|$e|2904|0" || fail "the restart box after the hidden pages"
drive "check|$e|2903|0" "click|$e|6" "gone|$e" || fail "Finish without a restart"
ended 10 || fail "the setup program did not end"

finish "user interface page"
