#!/bin/sh
# The authoring program's frame worked as a person would: titles of new projects, the About box, the
# recent-file list in the File menu (nine opened projects, a deleted entry, a damaged entry), a failed
# Open, two dropped files, the command line (a bare path, a quoted path with spaces and options, a quoted
# path without spaces), the B option that builds the media and ends the program, the save prompt's three
# answers at New and at Exit, Save on a new project, and the Maintenance and Setup Media pages' settings
# reaching the saved file; Build asking the pages first, and the output list's pictures and column.
# Arguments: the x86_64 tree, the native tessaro, the native make_example, the wine runner.
tree=$1
tessaro=$2
make_example=$3
wine_run=$4
driver="$tree/tests/ui/uidriver.exe"
. "$(dirname "$0")/ui_test.sh"

program="$tree/author/Tessaro.exe"
start() { "$wine_run" "$program" "$@" >/dev/null 2>&1 </dev/null & app_pid=$!; }
exit_program() {  # title: File > Exit of an unmodified project ends the program without a question
    drive "command|$1|40006" "gone|$1" || fail "Exit from \"$1\""
    ended || fail "the program did not end after Exit from \"$1\""
}
# The recent entries of the File menu as the program shows them, one per line ("&1 PATH").
recent_menu() { drive "menu|$1|0" | tr -d '\r' | sed -n 's/^3300[1-8] //p'; }
expect_recent() {  # title, what the check is about, the expected entries (one argument each, in order)
    title=$1
    what=$2
    shift 2
    recent_menu "$title" >"$work/menu"
    n=0
    for entry in "$@"; do
        n=$((n + 1))
        printf '&%d %s\n' "$n" "$entry"
    done >"$work/menu.expected"
    cmp -s "$work/menu" "$work/menu.expected" ||
        fail "$what: the File menu lists \"$(cat "$work/menu")\", expected \"$(cat "$work/menu.expected")\""
}

# A clean profile; the build takes the setup program's image named by the RawSetup setting.
cat >"$work/settings.reg" <<EOF
REGEDIT4

[-HKEY_CURRENT_USER\\Software\\Aldmere\\TS]

[HKEY_CURRENT_USER\\Software\\Aldmere\\TS\\Settings]
"RawSetup"="$(winpath "$(cd "$tree/setup" && pwd)/TSS.dat" | sed 's/\\/\\\\/g')"
EOF
"$wine_run" regedit /s "$(winpath "$work/settings.reg")" >/dev/null 2>&1 </dev/null

# Projects for the recent-file list, in a folder whose paths are too long for the menu. The folder has no
# hyphen: demo.tsp in it is named on the command line as a bare path, which ends at its first space, comma
# or hyphen.
projects="$work/projects_of_the_recent_file_list/projects"
shown='Z:\...\projects'
mkdir -p "$projects"
for n in 1 2 3 4 5 6 7 8 9; do
    "$tessaro" new "$projects/project-$n.tsp" >/dev/null
done

# New projects are numbered within a run; About opens and closes; with no recent file the placeholder
# stands grayed in the File menu.
start
drive "wait|Tessaro - Project1" "command|Tessaro - Project1|40001" "wait|Tessaro - Project2" \
    "command|Tessaro - Project2|40001" "wait|Tessaro - Project3" || fail "new project titles"
drive "command|Tessaro - Project3|40033" "wait|About Tessaro" "click|About Tessaro|1" "gone|About Tessaro" \
    || fail "about box"
drive "menu|Tessaro - Project3|0" | tr -d '\r' | grep -qx '40005 Recent Files (grayed)' ||
    fail "the empty recent-file list is not the grayed \"Recent Files\""

# Nine projects opened through File > Open: the ninth heads the list, the first has left it.
set --
title="Tessaro - Project3"
for n in 1 2 3 4 5 6 7 8 9; do
    set -- "$@" "command|$title|40002" "wait|Open" "type|Open|1148|$(winpath "$projects/project-$n.tsp")" \
        "click|Open|1" "gone|Open" "wait|Tessaro - project-$n.tsp"
    title="Tessaro - project-$n.tsp"
done
drive "$@" || fail "opening nine projects"
expect_recent "$title" "nine opened projects" "$shown\\project-9.tsp" "$shown\\project-8.tsp" \
    "$shown\\project-7.tsp" "$shown\\project-6.tsp" "$shown\\project-5.tsp" "$shown\\project-4.tsp" \
    "$shown\\project-3.tsp" "$shown\\project-2.tsp"

# A recent entry whose file was deleted: the message with the whole path, and the entry leaves the list.
rm "$projects/project-5.tsp"
drive "command|$title|33005" "wait|Tessaro" \
    "expect|Tessaro|65535|Cannot open the file \"$(winpath "$projects/project-5.tsp")\"!" "click|Tessaro|1" \
    "gone|Tessaro" "wait|$title" || fail "deleted recent file"
expect_recent "$title" "after the deleted entry" "$shown\\project-9.tsp" "$shown\\project-8.tsp" \
    "$shown\\project-7.tsp" "$shown\\project-6.tsp" "$shown\\project-4.tsp" "$shown\\project-3.tsp" \
    "$shown\\project-2.tsp"

# A recent entry whose file is damaged: the reader's message, a new project, and the entry leaves the list.
head -c 40 "$projects/project-9.tsp" >"$projects/project-3.tsp"
drive "command|$title|33006" "wait|Tessaro" "text|Tessaro|65535" >"$work/message" || fail "damaged recent file"
tr -d '\r' <"$work/message" | grep -q 'damaged' || fail "the damaged file's message was: $(cat "$work/message")"
drive "click|Tessaro|1" "gone|Tessaro" "wait|Tessaro - Project4" || fail "no new project after the damaged file"
expect_recent "Tessaro - Project4" "after the damaged entry" "$shown\\project-9.tsp" "$shown\\project-8.tsp" \
    "$shown\\project-7.tsp" "$shown\\project-6.tsp" "$shown\\project-4.tsp" "$shown\\project-2.tsp"

# The damaged file through File > Open: the same message, the next new project, and the list unchanged.
drive "command|Tessaro - Project4|40002" "wait|Open" "type|Open|1148|$(winpath "$projects/project-3.tsp")" \
    "click|Open|1" "gone|Open" "wait|Tessaro" "text|Tessaro|65535" >"$work/message" || fail "damaged file opened"
tr -d '\r' <"$work/message" | grep -q 'damaged' || fail "the damaged file's message was: $(cat "$work/message")"
drive "click|Tessaro|1" "gone|Tessaro" "wait|Tessaro - Project5" || fail "no new project after a failed Open"
expect_recent "Tessaro - Project5" "after a failed Open" "$shown\\project-9.tsp" "$shown\\project-8.tsp" \
    "$shown\\project-7.tsp" "$shown\\project-6.tsp" "$shown\\project-4.tsp" "$shown\\project-2.tsp"
exit_program "Tessaro - Project5"

# A bare path on the command line opens the project; it heads the list that the last run left behind.
"$tessaro" new "$projects/demo.tsp" >/dev/null
start "$(winpath "$projects/demo.tsp")"
drive "wait|Tessaro - demo.tsp" || fail "bare path on the command line"
expect_recent "Tessaro - demo.tsp" "after a start with a bare path" "$shown\\demo.tsp" "$shown\\project-9.tsp" \
    "$shown\\project-8.tsp" "$shown\\project-7.tsp" "$shown\\project-6.tsp" "$shown\\project-4.tsp" \
    "$shown\\project-2.tsp"
# Of two files dropped on the window only the first opens.
drive "drop|Tessaro - demo.tsp|$(winpath "$projects/project-4.tsp")|$(winpath "$projects/project-6.tsp")" \
    "wait|Tessaro - project-4.tsp" || fail "two dropped files"
expect_recent "Tessaro - project-4.tsp" "after a drop" "$shown\\project-4.tsp" "$shown\\demo.tsp" \
    "$shown\\project-9.tsp" "$shown\\project-8.tsp" "$shown\\project-7.tsp" "$shown\\project-6.tsp" \
    "$shown\\project-2.tsp"
exit_program "Tessaro - project-4.tsp"

# A quoted path with spaces and hyphens is taken whole and its options after it; only a capital B
# builds and ends the program, so this run stays.
mkdir -p "$work/my projects"
cp "$projects/demo.tsp" "$work/my projects/my demo-1.tsp"
start "$(winpath "$work/my projects/my demo-1.tsp")" -b
drive "wait|Tessaro - my demo-1.tsp" "sleep|1500" "wait|Tessaro - my demo-1.tsp|0" ||
    fail "quoted path with spaces followed by an option"
recent_menu "Tessaro - my demo-1.tsp" | head -1 | grep -qxF "&1 Z:\\...\\my demo-1.tsp" ||
    fail "the quoted path is not at the top of the recent-file list"
exit_program "Tessaro - my demo-1.tsp"

# A quoted path without spaces, as a shell link passes it: a damaged project gives its message at
# start-up, and the program goes on with what was read.
head -c 40 "$projects/demo.tsp" >"$work/broken.tsp"
printf '"%s" "%s"\r\n' "$(winpath "$(cd "$(dirname "$program")" && pwd)/Tessaro.exe")" \
    "$(winpath "$work/broken.tsp")" >"$work/start.bat"
"$wine_run" cmd /c "$(winpath "$work/start.bat")" >/dev/null 2>&1 </dev/null &
app_pid=$!
drive "wait|Tessaro" "text|Tessaro|65535" >"$work/message" || fail "no message for a damaged project"
tr -d '\r' <"$work/message" | grep -q 'damaged' || fail "the message was: $(cat "$work/message")"
drive "click|Tessaro|1" "gone|Tessaro" "wait|Tessaro - broken.tsp" || fail "after the damaged project"
exit_program "Tessaro - broken.tsp"

# PROJECT.tsp -B builds the example's media into the project's destination and ends the program.
"$make_example" "$work/example" "$tree/examples/Widget.exe" >/dev/null
start "$(winpath "$work/example/widget.tsp")" -B
ended 120 || fail "B did not end the program"
wait "$app_pid" || fail "B: a build that made the media did not exit with 0"
disk="$work/example/media/CD/CD1"
# Setup.exe is the image named by RawSetup followed by the 8-byte trailer.
raw_size=$(wc -c <"$tree/setup/TSS.dat")
[ "$(wc -c <"$disk/Setup.exe")" = $((raw_size + 8)) ] &&
    cmp -s -n "$raw_size" "$disk/Setup.exe" "$tree/setup/TSS.dat" || fail "B: no Setup.exe made from the RawSetup image"
[ -s "$disk/tsdb.dat" ] || fail "B: no setup database"
cabextract -q -t "$disk/TSData1.cab" >/dev/null 2>&1 || fail "B: no data cabinet that cabextract accepts"
# A build that fails (the project names no destination) ends the program too, with a non-zero exit code.
"$make_example" "$work/nodest" "$tree/examples/Widget.exe" --no-destination >/dev/null
start "$(winpath "$work/nodest/widget.tsp")" -B
ended 120 || fail "B with a failing build did not end the program"
wait "$app_pid" && fail "B: a failed build exited with 0"

# The save prompt: Cancel keeps the edit, Save As names a new project, Yes saves, No discards. This start
# without a file is again Project1: new projects are counted within one run of the program.
start
drive "wait|Tessaro - Project1" "type|Tessaro - Project1|1101|Acme Tool" "command|Tessaro - Project1|40001" \
    "wait|Tessaro" "expect|Tessaro|65535|Save changes to \"Project1\"?" "click|Tessaro|2" "gone|Tessaro" \
    "wait|Tessaro - Project1" "expect|Tessaro - Project1|1101|Acme Tool" || fail "Cancel in the save prompt"
drive "command|Tessaro - Project1|40003" "wait|Save As" "expect|Save As|1148|Project1" \
    "type|Save As|1148|$(winpath "$work/saved.tsp")" "click|Save As|1" "gone|Save As" "wait|Tessaro - saved.tsp" \
    || fail "Save on a new project: the Save As dialog"
drive "type|Tessaro - saved.tsp|1104|2.5" "command|Tessaro - saved.tsp|40001" "wait|Tessaro" \
    "expect|Tessaro|65535|Save changes to \"saved.tsp\"?" "click|Tessaro|6" "gone|Tessaro" \
    "wait|Tessaro - Project2" || fail "Yes in the save prompt"
drive "command|Tessaro - Project2|33001" "wait|Tessaro - saved.tsp" "expect|Tessaro - saved.tsp|1104|2.5" \
    "type|Tessaro - saved.tsp|1104|3.0" "command|Tessaro - saved.tsp|40001" "wait|Tessaro" \
    "expect|Tessaro|65535|Save changes to \"saved.tsp\"?" "click|Tessaro|7" "gone|Tessaro" \
    "wait|Tessaro - Project3" || fail "No in the save prompt"
# Exit asks too: Cancel keeps the program, No ends it.
drive "type|Tessaro - Project3|1105|Acme" "command|Tessaro - Project3|40006" "wait|Tessaro" \
    "expect|Tessaro|65535|Save changes to \"Project3\"?" "click|Tessaro|2" "gone|Tessaro" \
    "sleep|500" "wait|Tessaro - Project3|0" || fail "Cancel in the save prompt of Exit"
drive "command|Tessaro - Project3|40006" "wait|Tessaro" "click|Tessaro|7" "gone|Tessaro - Project3" ||
    fail "No in the save prompt of Exit"
ended || fail "the program did not end after No in the save prompt of Exit"
"$tessaro" dump "$work/saved.tsp" >"$work/saved.txt"
grep -q 'ProductName = "Acme Tool"' "$work/saved.txt" || fail "Save As did not store the product name"
grep -q 'ProductVersion = "2.5"' "$work/saved.txt" || fail "Yes did not save, or No did not discard, the version"

# The Maintenance and Setup Media pages: their settings reach the saved project; "..." of the destination
# opens the folder chooser.
start "$(winpath "$work/saved.tsp")"
drive "wait|Tessaro - saved.tsp" "command|Tessaro - saved.tsp|40017" "check|Tessaro - saved.tsp|1301|0" \
    "check|Tessaro - saved.tsp|1309|1" "type|Tessaro - saved.tsp|1302|http://acme.example" \
    "command|Tessaro - saved.tsp|40018" "select|Tessaro - saved.tsp|1401|3" \
    "type|Tessaro - saved.tsp|1402|1000000" "type|Tessaro - saved.tsp|1408|$(winpath "$work/media")" \
    "click|Tessaro - saved.tsp|1409" "wait|Select Folder" "command|Select Folder|2" "gone|Select Folder" \
    "command|Tessaro - saved.tsp|40003" || fail "Maintenance and Setup Media pages"
exit_program "Tessaro - saved.tsp"
"$tessaro" dump "$work/saved.tsp" >"$work/saved.txt"
text_round_trip "$tessaro" "$work/saved.tsp"
grep -q 'NoARP = 1' "$work/saved.txt" || fail "Register to the Add/Remove programs was not cleared"
grep -q 'NoRemove = 1' "$work/saved.txt" || fail "Disable Remove was not stored"
grep -q 'ProductURL = "http://acme.example"' "$work/saved.txt" || fail "the product URL was not stored"
grep -q 'MediaType = 3' "$work/saved.txt" || fail "the media type was not stored"
grep -q 'MediaSize = 1000000' "$work/saved.txt" || fail "the disk size was not stored"
grep -qF 'Destination = "0,\\media"' "$work/saved.txt" || fail "the destination was not stored beside the project"

# Build asks the pages first, as Save does: a bad disk size keeps the user on the Setup Media page and
# builds nothing. A build then shows each line with the picture of its kind (0 error, 1 warning, 2
# information) and fits the list's column to its lines.
start "$(winpath "$work/saved.tsp")"
drive "wait|Tessaro - saved.tsp" "command|Tessaro - saved.tsp|40018" "type|Tessaro - saved.tsp|1402|many" \
    "command|Tessaro - saved.tsp|40020" "wait|Tessaro" \
    "expect|Tessaro|65535|Please enter the disk size in bytes." "click|Tessaro|1" "gone|Tessaro" ||
    fail "Build did not ask the Setup Media page to check its disk size"
[ -e "$work/media" ] && fail "a build refused by the Setup Media page wrote the media folder"
[ -n "$(drive "list|Tessaro - saved.tsp|1412" | tr -d '\r')" ] && fail "a refused build wrote to the output list"
drive "type|Tessaro - saved.tsp|1402|1000000" "command|Tessaro - saved.tsp|40020" \
    "list|Tessaro - saved.tsp|1412|pictures" | tr -d '\r' >"$work/output.txt"
grep -qx 'Preparing to build media\.\.\. 2' "$work/output.txt" || fail "information line without its picture"
grep -qx 'No License File was specified! 0' "$work/output.txt" || fail "error line without its picture"
grep -qx 'No object is defined in the folder ".*"! 1' "$work/output.txt" || fail "warning line without its picture"
grep -qx 'Finished [0-9]* Errors*, [0-9]* Warnings*\. 2' "$work/output.txt" || fail "the summary line is missing"
grep -q 'Error: \|Warning: ' "$work/output.txt" && fail "output lines carry text prefixes instead of pictures"
width=$(drive "column-width|Tessaro - saved.tsp|1412|0" | tr -d '\r')
[ "$width" != 300 ] && [ "$width" -gt 150 ] || fail "the output list's column was not fitted to its lines ($width)"
drive "command|Tessaro - saved.tsp|40006" "wait|Tessaro" "click|Tessaro|7" "gone|Tessaro - saved.tsp" ||
    fail "No in the save prompt after the builds"
ended || fail "the program did not end after the builds"

# The About box names the program, the version that the command line prints, and the licence.
version=$("$tessaro" --version | sed 's/^tessaro //')
start
drive "wait|Tessaro - Project1" "command|Tessaro - Project1|40033" "wait|About Tessaro" || fail "About"
about=$(drive "text|About Tessaro|1010" | tr -d '\r')
[ "$about" = "$(printf 'Tessaro - setup authoring for Windows\nVersion %s\nCopyright (C) 2026 the Tessaro developers. All rights reserved.' "$version")" ] ||
    fail "the About box reads \"$about\" (version $version)"
drive "click|About Tessaro|1" "gone|About Tessaro" || fail "closing About"
# The empty build output list has no column wider than itself (no horizontal scroll bar).
drive "command|Tessaro - Project1|40018" "sleep|300" || fail "the Setup Media page"
list_width=$(drive "rect|Tessaro - Project1|1412" | tr -d '\r' | cut -d' ' -f3)
column=$(drive "column-width|Tessaro - Project1|1412|0" | tr -d '\r')
[ "$column" -lt "$list_width" ] || fail "the empty output list's column ($column) is wider than the list ($list_width)"
exit_program "Tessaro - Project1"

# Maximised, the window spreads the page list and the current page over its new size: the Setup Media
# page's output list grows both ways, its Build button keeps to the right edge, the Folders page's panes
# grow; at the next start the window opens maximised again.
size_of() { drive "rect|$1|$2" | tr -d '\r'; }
start "$(winpath "$work/saved.tsp")"
t="Tessaro - saved.tsp"
drive "wait|$t" "command|$t|40018" "sleep|300" || fail "the Setup Media page before maximising"
before_client=$(drive "client|$t" | tr -d '\r')
before_list=$(size_of "$t" 1001)
before_output=$(size_of "$t" 1412)
before_build=$(size_of "$t" 1411)
before_dest=$(size_of "$t" 1408)
drive "syscommand|$t|61488" "sleep|1000" || fail "maximising"
after_client=$(drive "client|$t" | tr -d '\r')
after_list=$(size_of "$t" 1001)
after_output=$(size_of "$t" 1412)
after_build=$(size_of "$t" 1411)
after_dest=$(size_of "$t" 1408)
import -display "$DISPLAY" -window root "$work/maximised.png" 2>/dev/null
grew() {  # what, before "X Y W H", after, the field (3 width, 4 height, 1 left)
    b=$(echo "$2" | cut -d' ' -f"$4")
    a=$(echo "$3" | cut -d' ' -f"$4")
    [ "$a" -gt $((b + 100)) ] || fail "$1: $b before maximising, $a after"
}
grew "the client width" "$before_client 0 0" "$after_client 0 0" 1
grew "the client height" "$before_client 0 0" "$after_client 0 0" 2
grew "the page list's height" "$before_list" "$after_list" 4
grew "the output list's width" "$before_output" "$after_output" 3
grew "the output list's height" "$before_output" "$after_output" 4
grew "the Build button's place" "$before_build" "$after_build" 1
grew "the destination field's width" "$before_dest" "$after_dest" 3
client_width=$(echo "$after_client" | cut -d' ' -f1)
page_right=$(($(echo "$after_output" | cut -d' ' -f1) + $(echo "$after_output" | cut -d' ' -f3)))
[ "$page_right" -le "$client_width" ] || fail "the output list reaches past the window ($page_right > $client_width)"
drive "command|$t|40011" "sleep|300" || fail "the Folders page"
folders=$(size_of "$t" 2001)
[ "$(echo "$folders" | cut -d' ' -f4)" -gt "$(echo "$before_output" | cut -d' ' -f4)" ] ||
    fail "the Folders page's tree did not grow ($folders)"
exit_program "$t"
start "$(winpath "$work/saved.tsp")"
drive "wait|$t" "sleep|500" || fail "the second start"
[ "$(drive "client|$t" | tr -d '\r')" = "$after_client" ] || fail "the window did not open maximised again"
# Restored and then kept at a place left of every screen (-5000 to -4000), it comes back onto the
# screen at the next start.
drive "syscommand|$t|61728" "sleep|500" || fail "restoring"
exit_program "$t"
"$wine_run" reg add 'HKCU\Software\Aldmere\TS\Window' /v Left /t REG_DWORD /d 0xFFFFEC78 /f >/dev/null 2>&1
"$wine_run" reg add 'HKCU\Software\Aldmere\TS\Window' /v Right /t REG_DWORD /d 0xFFFFF060 /f >/dev/null 2>&1
start "$(winpath "$work/saved.tsp")"
drive "wait|$t" "sleep|500" || fail "the start off the screen"
place=$(drive "place|$t" | tr -d '\r')
[ "$(echo "$place" | cut -d' ' -f1)" -ge 0 ] || fail "the window opened off the screen: $place"
exit_program "$t"

finish "authoring frame"
