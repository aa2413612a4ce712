#!/bin/sh
# The question box and the folder chooser, worked through the UI driver as a person would.
# Arguments: the x86_64 tree's tests/ui folder, the wine runner, a folder for screenshots.
ui=$1
wine_run=$2
shots=$3
driver="$ui/uidriver.exe"
. "$(dirname "$0")/ui_test.sh"
mkdir -p "$shots"

# Starts the dialog host in the background; its answer lands in $work/answer.
host() { "$wine_run" "$ui/dialog_host.exe" "$@" >"$work/answer" 2>&1 </dev/null & host_pid=$!; }
answer_is() {  # expected answer; waits for the host to end
    wait "$host_pid"
    got=$(tr -d '\r' <"$work/answer")
    [ "$got" = "$1" ] || fail "the dialog answered \"$got\", expected \"$1\""
}

# Question box, style 0x13: four buttons, No the default; each answer.
for pair in "4312 6" "4313 7" "4314 10" "4315 11"; do
    set -- $pair
    host question 0x13 "Remove the shared file?"
    drive "wait|Setup" "expect|Setup|4311|Remove the shared file?" "expect|Setup|4312|Yes" "expect|Setup|4313|No" \
        "expect|Setup|4314|Yes to all" "expect|Setup|4315|No to all" "default|Setup|4313" || fail "question box 0x13"
    [ "$1" = 4312 ] && import -display "$DISPLAY" -window root "$shots/question-box.png"
    drive "click|Setup|$1" "gone|Setup" || fail "pressing $1"
    answer_is "result $2"
done

# Question box, style 1: Ok and Cancel on the right, Escape cancels.
host question 1 "Go on?"
drive "wait|Setup" "visible|Setup|4312|0" "visible|Setup|4313|0" "expect|Setup|4314|Ok" "expect|Setup|4315|Cancel" \
    "command|Setup|2" "gone|Setup" || fail "question box 1"
answer_is "result 2"

# Folder chooser: opens on the start path, refuses to rename an existing folder, makes a new folder.
mkdir -p "$work/alpha/inner" "$work/beta"
root="Z:$(echo "$work" | tr / '\\')"
host folder "$root\\alpha"
drive "wait|Select Folder" "expect|Select Folder|4302|$root\\alpha" >/dev/null || fail "start path"
[ "$(drive "tree-try-edit|Select Folder|4303" | tr -d '\r')" = refused ] || fail "an existing folder took a label edit"
drive "click|Select Folder|4304" "tree-edit|Select Folder|4303|made" "expect|Select Folder|4302|$root\\alpha\\made" \
    || fail "new folder"
[ -d "$work/alpha/made" ] || fail "the new folder was not created"
import -display "$DISPLAY" -window root "$shots/folder-chooser.png"
# A name that cannot be created: the system's message under "Error", and the item goes.
drive "click|Select Folder|4304" "tree-edit|Select Folder|4303|bad?name" "wait|Error" "click|Error|1" "gone|Error" \
    || fail "invalid folder name"
drive "tree|Select Folder|4303" | tr -d '\r' >"$work/tree"
grep -q 'New Folder\|bad?name' "$work/tree" && fail "the failed new folder is still in the tree"
grep -q "^ *\*\?made$" "$work/tree" || { cat "$work/tree" | grep -n -A3 alpha; fail "the made folder is not in the tree"; }
drive "click|Select Folder|1" "gone|Select Folder" || fail "OK"
answer_is "ok $root\\alpha\\made"

# A start path whose folders do not exist yet opens on the nearest existing one, the drive, with the path
# shown as it was given; Cancel changes nothing, and OK hands that path back.
host folder "Z:\\no-such-folder-here\\x"
drive "wait|Select Folder" "expect|Select Folder|4302|Z:\\no-such-folder-here\\x" || fail "missing start path"
drive "tree|Select Folder|4303" | tr -d '\r' | grep -q '^  \*Z:$' || fail "the chooser did not open on the drive Z:"
drive "command|Select Folder|2" "gone|Select Folder" || fail "Cancel on a missing start path"
answer_is "cancel"
host folder "Z:\\no-such-folder-here\\x"
drive "wait|Select Folder" "click|Select Folder|1" "gone|Select Folder" || fail "OK on a missing start path"
answer_is "ok Z:\\no-such-folder-here\\x"
# A start path on no drive at all selects nothing and shows it as given; OK keeps it rather than emptying it.
host folder "no-drive-here"
drive "wait|Select Folder" "expect|Select Folder|4302|no-drive-here" "click|Select Folder|1" "gone|Select Folder" \
    || fail "OK on a path without a drive"
answer_is "ok no-drive-here"
host folder ""
drive "wait|Select Folder" "expect|Select Folder|4302|" "click|Select Folder|1" "gone|Select Folder" \
    || fail "OK on an empty path"
answer_is "ok "

finish "shared dialogs"
