#!/bin/sh
# Context help of the authoring program worked as a person would: F1 on the General page's field and in
# the page list, F1 on the Registry page, in the document type dialog and in the About box, and the Help
# menu's Contents, Index and "How to Use Tessaro Help?". A stand-in for the help viewer's library beside
# the program records each call: the command, the help file's path with the topic, and the owner window.
# Every topic asked for must be in the help file. Without the help file F1 asks for nothing.
# Arguments: the x86_64 tree, the wine runner.
tree=$1
wine_run=$2
driver="$tree/tests/ui/uidriver.exe"
. "$(dirname "$0")/ui_test.sh"

app="$work/app"
mkdir -p "$app"
cp "$tree/author/Tessaro.exe" "$tree/author/Tessaro.chm" "$tree/tests/ui/hhctrl.ocx" "$app/" ||
    { fail "the program, its help file or the viewer's stand-in is missing"; finish context_help; }
export WINEDLLOVERRIDES="mscoree,mshtml=;hhctrl.ocx=n"
calls="$app/help-calls.txt"
chm=$(winpath "$app/Tessaro.chm")
extract_chmLib "$app/Tessaro.chm" "$work/chm" >/dev/null || fail "the help file cannot be read back"
made=0

# The call made after the step: $1 what was done, $2 the command (0 topic, 1 contents, 2 index), $3 the topic
# (empty for the file itself), $4 the owner window's title.
expect_call() {
    made=$((made + 1))
    for _ in $(seq 1 50); do
        [ -f "$calls" ] && [ "$(wc -l <"$calls")" -ge "$made" ] && break
        sleep 0.1
    done
    got=$([ -f "$calls" ] && sed -n "${made}p" "$calls" | tr -d '\r')
    want="$2|$chm${3:+::/$3}|$4"
    [ "$got" = "$want" ] || fail "$1: help was asked for \"$got\", expected \"$want\""
    if [ -n "$3" ] && [ ! -f "$work/chm/$(echo "$3" | tr '\\' /)" ]; then
        fail "$1: the topic $3 is not in the help file"
    fi
}

T="Tessaro - Project1"
launch "$T" "$app/Tessaro.exe"

drive "press|$T|1101|F1" || fail "F1 on the Product Name"
expect_call "F1 on the General page" 0 'UsersGuide\Pages\GeneralPage\GeneralPage.htm' "$T"
drive "press|$T|1001|F1" || fail "F1 in the page list"
expect_call "F1 in the page list" 0 'UsersGuide\Pages\GeneralPage\GeneralPage.htm' "$T"

drive "command|$T|40012" "press|$T|2041|F1" || fail "F1 on the Registry page's tree"
expect_call "F1 on the Registry page" 0 'UsersGuide\Pages\RegistryPage\RegistryPage.htm' "$T"
drive "press|$T|1001|F1" || fail "F1 in the page list on the Registry page"
expect_call "F1 in the page list on the Registry page" 0 'UsersGuide\Pages\RegistryPage\RegistryPage.htm' "$T"

D="Add New Document Type"
drive "command|$T|40014" "key|$T|1761|Insert" "wait|$D" "press|$D|1801|F1" || fail "F1 in the document type dialog"
expect_call "F1 in the document type dialog" 0 'UsersGuide\DialogBoxes\DocumentTypeProperties.htm' "$D"
drive "click|$D|2" "gone|$D" || fail "Cancel of the document type dialog"

A="About Tessaro"
drive "command|$T|40033" "wait|$A" "press|$A|1|F1" || fail "F1 in the About box"
expect_call "F1 in the About box" 0 'Welcome.htm' "$A"
drive "click|$A|1" "gone|$A" || fail "OK of the About box"

drive "command|$T|40030" || fail "Help > Contents"
expect_call "Help > Contents" 1 "" "$T"
drive "command|$T|40031" || fail "Help > Index"
expect_call "Help > Index" 2 "" "$T"
drive "command|$T|40032" || fail "Help > How to Use Tessaro Help?"
expect_call "Help > How to Use Tessaro Help?" 0 'How2UseHelp.htm' "$T"

# Without its help file the program asks the viewer for nothing, and goes on.
rm "$app/Tessaro.chm"
drive "press|$T|1761|F1" "sleep|1000" || fail "F1 without the help file"
[ "$(wc -l <"$calls")" -eq "$made" ] || fail "F1 without the help file asked for \"$(tail -n 1 "$calls")\""
drive "command|$T|40006" "gone|$T" || fail "Exit"
ended || fail "the program did not end after Exit"
[ -n "${KEEP_HELP_CALLS:-}" ] && cp "$calls" "$KEEP_HELP_CALLS"
finish context_help
