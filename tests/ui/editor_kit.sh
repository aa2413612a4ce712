#!/bin/sh
# The editors' kit worked as a person would, in its test dialog (kit_host): the splitter moved with the
# mouse and the keyboard; a new tree item refused by the naming rule, retyped and kept; a new item and a
# rename cancelled with Escape; Insert, Delete and F2 from the focused control's keys and from the context
# menu with its enabled states; a new list row refused and retyped; drags onto tree items with Ctrl, with
# Alt, of several rows at once and cancelled with Escape; files dropped from the shell onto an item.
# Arguments: the x86_64 tree's tests/ui folder, the wine runner, a folder for screenshots.
ui=$1
wine_run=$2
shots=$3
driver="$ui/uidriver.exe"
. "$(dirname "$0")/ui_test.sh"
mkdir -p "$shots"

k="Editor Kit"
tree=101
list=102
log=103
"$wine_run" "$ui/kit_host.exe" >"$work/host.out" 2>&1 </dev/null &
host_pid=$!
drive "wait|$k" >/dev/null || fail "the kit's dialog did not open"
logged() { drive "expect|$k|$log|$1" >/dev/null || fail "$2 (log: $(drive "text|$k|$log" | tr -d '\r'))"; }
width_of() { drive "rect|$k|$1" | tr -d '\r' | cut -d' ' -f3; }
left_of() { drive "rect|$k|$1" | tr -d '\r' | cut -d' ' -f1; }
items() { drive "tree|$k|$tree" | tr -d '\r' | sed 's/^ *\**//' | tr '\n' ';'; }

# Splitter: dragged 60 pixels to the right by the bar between the panes, then 3 steps of 8 back by the
# keyboard; the list follows the bar. Escape during a keyboard move puts the bar back.
w0=$(width_of $tree)
l0=$(left_of $list)
drive "drag|$k|$tree:$((w0 + 1)),60|$tree:$((w0 + 61)),60" || fail "dragging the splitter"
w1=$(width_of $tree)
[ "$w1" = $((w0 + 60)) ] || fail "the tree is $w1 pixels wide after the splitter drag, expected $((w0 + 60))"
[ "$(left_of $list)" = $((l0 + 60)) ] || fail "the list did not follow the splitter"
drive "key|$k|$tree|F8" "key|$k|$tree|Left" "key|$k|$tree|Left" "key|$k|$tree|Left" "key|$k|$tree|Return" \
    "key|$k|$tree|F8" "key|$k|$tree|Right" "key|$k|$tree|Escape" "sleep|200" || fail "splitter keys"
[ "$(width_of $tree)" = $((w1 - 24)) ] || fail "the keyboard left the tree $(width_of $tree) pixels wide, expected $((w1 - 24))"
drive "wait|$k" >/dev/null || fail "Escape during the splitter's keyboard move closed the dialog"

# A new folder named like a sibling in other case is refused with the rule's message; editing starts again
# with the typed text, and the next name is kept.
drive "tree-select|$k|$tree|Root" "key|$k|$tree|Insert" "tree-edit|$k|$tree|ALPHA" "wait|Kit Error" \
    "expect|Kit Error|65535|Cannot add \"ALPHA\". A folder with the name you specified already exists." \
    "click|Kit Error|1" "gone|Kit Error" >/dev/null || fail "a clashing new name was not refused"
drive "sleep|300" >/dev/null
case "$(items)" in *"Tools;ALPHA;"*) ;; *) fail "editing did not restart with the typed text: $(items)" ;; esac
drive "tree-edit|$k|$tree|Gamma" >/dev/null || fail "no edit after the refusal"
logged "added Gamma" "the new folder was not kept"
import -display "$DISPLAY" -window root "$shots/editor-kit.png"

# Escape cancels a new item: it goes; and a rename: the old name stays, also after a refusal.
drive "tree-select|$k|$tree|Root" "key|$k|$tree|Insert" "label-key|$k|$tree|Escape" "sleep|400" >/dev/null \
    || fail "cancelling a new item"
case "$(items)" in *"New Folder"*) fail "the cancelled new item stayed: $(items)" ;; esac
drive "tree-select|$k|$tree|Root\\Beta" "key|$k|$tree|F2" "tree-edit|$k|$tree|tools" "wait|Kit Error" \
    "click|Kit Error|1" "gone|Kit Error" "label-key|$k|$tree|Escape" "sleep|400" >/dev/null || fail "a refused rename"
case "$(items)" in *"Root;Alpha;"*"Beta;Tools;Gamma;") ;; *) fail "the cancelled rename did not keep Beta: $(items)" ;; esac
logged "added Gamma" "a cancelled edit was applied"

# The context menu: on the root, Delete and Rename are grayed; its Add Folder makes a folder, Delete
# on the tree's keys deletes it.
menu=$(drive "tree-select|$k|$tree|Root" "menu-key|$k|$tree" "popup-menu" | tr -d '\r' | tr '\n' ';')
[ "$menu" = "111 Add Folder	Ins;112 Delete	Del (grayed);113 Rename	F2 (grayed);" ] || fail "root menu: $menu"
drive "menu-choose|0" "tree-edit|$k|$tree|Delta" >/dev/null || fail "Add Folder from the menu"
logged "added Delta" "the menu's Add Folder"
drive "tree-select|$k|$tree|Root\\Delta" "key|$k|$tree|Delete" >/dev/null || fail "Delete key"
logged "deleted Delta" "the Delete key on the tree"
# Delete on the list has no command: nothing happens to the tree.
drive "list-select|$k|$list|0" "key|$k|$list|Delete" "sleep|300" >/dev/null
logged "deleted Delta" "Delete on the list reached the tree"

# A new list row: Insert on the list, a clash refused, then a new name.
drive "key|$k|$list|Insert" "list-edit|$k|$list|ONE.txt" "wait|Kit Error" "click|Kit Error|1" "gone|Kit Error" \
    "list-edit|$k|$list|four.txt" >/dev/null || fail "a new list row"
logged "row added four.txt" "the new row was not kept"

# Drags: a row with Ctrl copies; a tree item with Alt makes a shortcut; two rows with Alt move (several
# never make shortcuts); Escape cancels; the root cannot be a target of its own child.
drive "list-select|$k|$list|0" "drag|$k|$list:list:0|$tree:tree:Root\\Beta|ctrl" >/dev/null || fail "drag with Ctrl"
logged "drop copy one.txt onto Beta" "the Ctrl drag"
drive "drag|$k|$tree:tree:Root\\Tools|$tree:tree:Root\\Gamma|alt" >/dev/null || fail "drag with Alt"
logged "drop shortcut Tools onto Gamma" "the Alt drag"
drive "list-select|$k|$list|1,2" "drag|$k|$list:list:1|$tree:tree:Root\\Alpha|alt" >/dev/null || fail "drag of two"
logged "drop move two.txt,three.exe onto Alpha" "the drag of two rows"
drive "list-select|$k|$list|0" "drag|$k|$list:list:0|$tree:tree:Root\\Beta|ctrl|escape" >/dev/null \
    || fail "drag cancelled"
logged "drop move two.txt,three.exe onto Alpha" "the cancelled drag dropped"
drive "drag|$k|$tree:tree:Root\\Alpha|$tree:tree:Root\\Alpha\\Item 1" >/dev/null || fail "drag onto itself"
logged "drop move two.txt,three.exe onto Alpha" "an item was dropped below itself"

# Files from the shell, dropped on a tree item.
drive "drop-at|$k|$tree:tree:Root|Z:\\tmp\\a.txt|Z:\\tmp\\b.txt" >/dev/null || fail "shell drop"
logged "files 2 onto Root" "the shell drop"

# The pointer resting at the bottom edge of the tree during a drag scrolls it (Alpha is open, with more
# items than the tree shows).
height=$(drive "rect|$k|$tree" | tr -d '\r' | cut -d' ' -f4)
drive "tree-select|$k|$tree|Root" "list-select|$k|$list|0" "drag|$k|$list:list:0|$tree:40,$((height - 6))" >/dev/null \
    || fail "drag to the edge"
[ "$(drive "tree-top|$k|$tree" | tr -d '\r')" != Root ] || fail "the tree did not scroll during the drag"

drive "command|$k|2" "gone|$k" >/dev/null || fail "closing"
wait "$host_pid"
finish editor_kit
