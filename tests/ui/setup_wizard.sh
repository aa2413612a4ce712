#!/bin/sh
# The setup wizard walked as a person would: a first installation through every page (three licence files,
# every question, the destination chosen through Browse, the custom setup type, the feature menu opened
# with the mouse; in test mode, so that nothing stays on the machine for a later run to find), then the
# splash, hidden pages skipped with their custom-action points run in order, the quit question, failing
# library actions that lead to the Finish page, a licence file lost before its page, a library action that
# moves the target folder through the window messages; an installation for real whose Finish page opens
# the readme, maintenance runs of it (a change that changes nothing, a repair, a real change, the removal),
# the run box that starts the installed program, and the restart box; the exit code of quitting, and a
# damaged single-file Setup.exe that says so.
# Arguments: the x86_64 tree, the native tree, the wine runner, a folder for screenshots.
set -u
tree=$1
native=$2
wine_run=$3
shots=$4
here=$(dirname "$0")
driver="$tree/tests/ui/uidriver.exe"
. "$here/ui_test.sh"
mkdir -p "$shots"

shot() { import -display "$DISPLAY" -window root "$shots/wizard-$1.png"; }
ended() {  # the setup program ends within a few seconds (or within $1 tenths of a second)
    for _ in $(seq 1 "${1:-100}"); do
        kill -0 "$app_pid" 2>/dev/null || return 0
        sleep 0.1
    done
    kill "$app_pid" 2>/dev/null
    return 1
}

# Builds the variant's media; $media is the folder with Setup.exe.
build() {
    out="$work/$1"
    "$native/tests/tools/write_wizard_project" "$out" "$tree/tests/ui/wizard_action.exe" \
        "$tree/tests/ui/wizard_action.dll" "$1" >/dev/null || { fail "writing the $1 project"; return 1; }
    convert -size 525x85 gradient:'#ffffff-#ffd080' BMP3:"$out/files/banner.bmp"
    convert -size 300x150 gradient:'#2060c0-#ffffff' \
        BMP3:"$out/files/splash.bmp"
    "$native/cli/tessaro" build "$out/wizard.tsp" --out "$out/media" --raw-setup "$tree/setup/TSS.dat" \
        >"$out/build.log" 2>&1 || { cat "$out/build.log"; fail "building the $1 media"; return 1; }
    media=$(dirname "$(find "$out/media" -name Setup.exe | head -1)")
}
start() { "$wine_run" "$media/Setup.exe" "$@" >/dev/null 2>&1 </dev/null & app_pid=$!; }

# ---- a first installation through every page ----
build full
prefix=${TESSARO_WINEPREFIX:-$(cd "$here/../.." && pwd)/build/wineprefix}
# What an interrupted earlier run may have left: the product's folders and its entries.
rm -rf "$prefix/drive_c/Gadget" "$prefix/drive_c/Gadget Here" "$prefix/drive_c/Gadget Default"
uninstall='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
for key in $("$wine_run" reg query "$uninstall" /s 2>/dev/null | tr -d '\r' |
    awk '/^HKEY/ { key = $0 } /^ +DisplayName +REG_SZ +Gadget$/ { print key }'); do
    "$wine_run" reg delete "$key" /f >/dev/null 2>&1
done
mkdir -p "$prefix/drive_c/Gadget Here"
# In test mode: the run leaves nothing on the machine that a later run would find.
start -T
w="Gadget Setup - Welcome (Test Mode)"
drive "wait|$w|30000" "visible|$w|1004|0" "visible|$w|1005|0" "visible|$w|1050|0" "visible|$w|3|1" "visible|$w|4|0" \
    "visible|$w|2|1" || fail "Welcome page"
text_of "$w" 2101 | grep -q "Welcome to Gadget Setup program. This program will install Gadget on your computer." \
    || fail "welcome text: $(text_of "$w" 2101)"
text_of "$w" 2102 | grep -q "^Warning:" || fail "warning text"
sleep 1
shot welcome
# The keyboard focus starts where a person goes on: the forward button, or the first field to type in.
focus_on() { [ "$(drive "focused|$1" | tr -d '\r')" = "$2" ] || fail "focus on $1: $(drive "focused|$1")"; }
focus_on "$w" 3
# The system menu's About Setup.
drive "syscommand|$w|16" "wait|About Setup" "expect|About Setup|2012|Setup Version 1.2 " "click|About Setup|1" \
    "gone|About Setup" "wait|$w" || fail "About Setup"

# The three licence files, one after the other on the same page; Back steps back through them.
drive "click|$w|3" "wait|Gadget Setup - License (Test Mode)" || fail "Next to the License page"
l="Gadget Setup - License (Test Mode)"
drive "expect|$l|2202|To install Gadget, you must accept this agreement." "visible|$l|5|1" "visible|$l|3|0" \
    || fail "licence line"
[ "$(text_of "$l" 2201)" = "First licence in rich text." ] || fail "licence 0 shows: $(text_of "$l" 2201)"
focus_on "$l" 5
shot license
drive "click|$l|5" "sleep|300" || fail "I Agree"
[ "$(text_of "$l" 2201)" = "Second licence, plain text." ] || fail "licence 1 shows: $(text_of "$l" 2201)"
drive "click|$l|4" "sleep|300" || fail "Back on licence 1"
[ "$(text_of "$l" 2201)" = "First licence in rich text." ] || fail "Back shows: $(text_of "$l" 2201)"
drive "click|$l|5" "sleep|300" "click|$l|5" "sleep|300" || fail "I Agree twice"
[ "$(text_of "$l" 2201)" = "Third licence, plain text." ] || fail "licence 2 shows: $(text_of "$l" 2201)"
drive "click|$l|5" "wait|Gadget Setup - User Information (Test Mode)" || fail "after the last licence"

# User information: every question asked; an empty name is refused.
u="Gadget Setup - User Information (Test Mode)"
drive "expect|$u|2301|Please enter your name, your company name, and your E-mail address." \
    "visible|$u|2307|1" || fail "user information prompt"
focus_on "$u" 2303
drive "type|$u|2303|" "click|$u|3" "wait|Gadget Setup" \
    "expect|Gadget Setup|65535|You must enter a User Name before setup can continue." "click|Gadget Setup|1" \
    "gone|Gadget Setup" "wait|$u" || fail "an empty user name"
drive "type|$u|2303|Ann Tester" "type|$u|2305|" "click|$u|3" "wait|Gadget Setup" \
    "expect|Gadget Setup|65535|You must enter a Company Name before setup can continue." "click|Gadget Setup|1" \
    "gone|Gadget Setup" || fail "an empty company name"
drive "type|$u|2305|Acme Testing" "type|$u|2307|ann@example.com" || fail "typing the user information"
shot user-information
drive "click|$u|3" "wait|Gadget Setup - Destination Folder (Test Mode)" || fail "Next to the Destination page"

# Destination: the folder chosen through Browse; the desktop shortcuts switched off.
d="Gadget Setup - Destination Folder (Test Mode)"
drive "expect|$d|2402|C:\\Gadget" "visible|$d|2404|1" "visible|$d|2406|1" || fail "destination page"
focus_on "$d" 2402
# The default folder does not exist yet: Browse opens on its nearest existing parent with the path as
# typed, and OK keeps a usable destination.
[ ! -d "$prefix/drive_c/Gadget" ] || fail "the default folder exists before the installation"
drive "click|$d|2403" "wait|Select Folder" "expect|Select Folder|4302|C:\\Gadget" || fail "Browse on a missing folder"
drive "tree|Select Folder|4303" | tr -d '\r' | grep -q '^  \*C:$' || fail "the chooser does not open on C:"
drive "click|Select Folder|1" "gone|Select Folder" "expect|$d|2402|C:\\Gadget" || fail "OK on a missing folder"
# An empty or relative folder is refused, and the page stays.
for typed in "" "Gadget" "C:Gadget"; do
    drive "type|$d|2402|$typed" "click|$d|3" "wait|Gadget Setup" \
        "expect|Gadget Setup|65535|Please enter the full path of the destination folder, for example C:\\Program Files\\Gadget!" \
        "click|Gadget Setup|1" "gone|Gadget Setup" "wait|$d" || fail "the folder \"$typed\" was not refused"
done
# Browse on an empty field opens on the folder taken so far.
drive "click|$d|2403" "wait|Select Folder" "expect|Select Folder|4302|C:\\Gadget" "click|Select Folder|1" \
    "gone|Select Folder" "expect|$d|2402|C:\\Gadget" || fail "Browse on an empty field"
drive "click|$d|2403" "wait|Select Folder" "tree-select|Select Folder|4303|My Computer\\C:\\Gadget Here" \
    "expect|Select Folder|4302|C:\\Gadget Here" "click|Select Folder|1" "gone|Select Folder" \
    "expect|$d|2402|C:\\Gadget Here" || fail "Browse"
drive "check|$d|2404|0" "sleep|200" || fail "desktop shortcuts"
shot destination
drive "click|$d|3" "wait|Gadget Setup - Setup Types (Test Mode)" || fail "Next to the Setup Types page"

# Setup type Custom leads to the feature tree; the invisible feature is not in it.
s="Gadget Setup - Setup Types (Test Mode)"
focus_on "$s" 3
drive "check|$s|2503|1" "sleep|200" || fail "Custom"
shot setup-type
drive "click|$s|3" "wait|Gadget Setup - Select Features (Test Mode)" || fail "Next to the features"
f="Gadget Setup - Select Features (Test Mode)"
drive "tree|$f|2601" | tr -d '\r' >"$work/tree"
printf '*Program\n  Help\n  Samples\nExtras\n' | cmp -s - "$work/tree" || { cat "$work/tree"; fail "feature tree"; }
drive "expect|$f|2602|The Gadget program" || fail "feature description"
focus_on "$f" 3
text_of "$f" 2603 | grep -q "^Required Space:[0-9.]* \(bytes\|KB\|MB\) $" || fail "required space: $(text_of "$f" 2603)"
text_of "$f" 2604 | grep -q "^Available Space on C: [0-9.]* \(bytes\|KB\|MB\|GB\)$" \
    || fail "available space: $(text_of "$f" 2604)"
drive "tree-select|$f|2601|Extras" "expect|$f|2602|Extra documents" || fail "selecting a feature"
pictures() { drive "tree|$f|2601|pictures" | tr -d '\r*' | tr '\n' ' '; }
[ "$(pictures)" = "Program 2   Help 3   Samples 3 Extras 0 " ] || fail "feature pictures: $(pictures)"
# The feature menu, opened with the mouse: its marks and disabled items follow the feature.
menu_of() { drive "tree-click|$f|2601|$1|$2" "popup-menu" | tr -d '\r' | sed 's/^261[0-9] //' | tr '\n' ';'; }
m=$(menu_of Program right)
[ "$m" = "Do not install this feature (grayed);Install this feature;Install this feature with all sub-features \
(checked);" ] || fail "menu of the required feature: $m"
drive "menu-choose|2" "sleep|300" || fail "with all sub-features"
m=$(menu_of Extras right)
[ "$m" = "Do not install this feature (checked);Install this feature;Install this feature with all sub-features \
(grayed);" ] || fail "menu of Extras: $m"
drive "menu-choose|1" "sleep|300" || fail "Extras switched on"
# A click on a feature's picture opens the menu too: Samples switched off.
m=$(menu_of 'Program\Samples' picture)
[ "$m" = "Do not install this feature;Install this feature (checked);Install this feature with all sub-features \
(grayed);" ] || fail "menu of Samples: $m"
drive "menu-choose|0" "sleep|300" || fail "Samples switched off"
[ "$(pictures)" = "Program 1   Help 3   Samples 0 Extras 3 " ] || fail "feature pictures after the menu: $(pictures)"
shot features
drive "click|$f|3" "wait|Gadget Setup - Confirmation (Test Mode)" || fail "Next to the confirmation"

# Confirmation: what was entered, and Back returns to the features (custom setup).
c="Gadget Setup - Confirmation (Test Mode)"
text_of "$c" 2701 >"$work/confirmation"
cat >"$work/expected" <<'EOF'
Setup is going to install "Gadget".

Destination Folder:
    C:\Gadget Here

User Information:
    Name: Ann Tester
    Company: Acme Testing
    Email:ann@example.com

Features being installed:
    Program
    Help
    Extras
EOF
diff "$work/expected" "$work/confirmation" >/dev/null || { diff "$work/expected" "$work/confirmation"; fail "confirmation"; }
focus_on "$c" 3
shot confirmation
drive "click|$c|4" "wait|$f" "click|$f|3" "wait|$c" || fail "Back to the features and on again"

# The progress page runs the sequence and hands over to the Finish page by itself.
p="Gadget Setup - Working (Test Mode)"
drive "click|$c|3" "wait|$p|30000" "visible|$p|3|0" "visible|$p|2|0" "visible|$p|6|0" || fail "the progress page"
shot progress
drive "wait|Gadget Setup - Finish (Test Mode)|30000" || fail "the run did not reach the Finish page"
e="Gadget Setup - Finish (Test Mode)"
drive "visible|$e|6|1" "visible|$e|3|0" "visible|$e|4|0" "visible|$e|2|0" || fail "finish buttons"
focus_on "$e" 6
[ "$(text_of "$e" 2902)" = "Setup has finished installing Gadget." ] || fail "finish text: $(text_of "$e" 2902)"
[ "$(text_of "$e" 2905)" = "Click Finish to exit setup." ] || fail "closing text: $(text_of "$e" 2905)"
drive "expect|$e|2903|Open Readme file" "expect|$e|2904|Run \"tool.exe\"" || fail "finish choices"
sleep 1
shot finish
# Neither the readme nor the program is opened when both boxes are clear.
drive "check|$e|2903|0" "check|$e|2904|0" "click|$e|6" "gone|$e" || fail "Finish"
ended || fail "the setup program did not end after Finish"

# ---- hidden pages, their custom-action points, test mode and the quit question ----
build skip
export WIZARD_ACTION_LOG="$work/actions.log"
: >"$WIZARD_ACTION_LOG"
start -T
w="Gadget Setup - Welcome (Test Mode)"
# The splash picture shows beside the wizard, above it, and goes after three seconds.
drive "wait|$w|30000" "topmost|300|150|1" || fail "the splash picture"
# A display without a window manager stacks windows in the order they appear, so the picture of the splash
# is taken after raising it, as a window manager would for a top-most window.
splash=$(xwininfo -display "$DISPLAY" -root -tree | awk '/ 300x150\+/ { print $1; exit }')
python3 -c 'import ctypes, sys
x = ctypes.cdll.LoadLibrary("libX11.so.6")
x.XOpenDisplay.restype = ctypes.c_void_p
d = ctypes.c_void_p(x.XOpenDisplay(None))
x.XRaiseWindow(d, ctypes.c_ulong(int(sys.argv[1], 16)))
x.XCloseDisplay(d)' "$splash" && shot splash
drive "sleep|3000" "topmost|300|150|0" || fail "the splash did not go"
shot skip-welcome
# Enter (the dialog's OK) presses the forward button that is shown.
drive "command|$w|1" "wait|Gadget Setup - User Information (Test Mode)" || fail "Enter over the hidden licence page"
points() { tr -d '\r' <"$WIZARD_ACTION_LOG" | tr '\n' ' '; }
[ "$(points)" = "point0 point1 " ] || fail "points after Next: $(points)"
drive "type|Gadget Setup - User Information (Test Mode)|2303|Ann" \
    "type|Gadget Setup - User Information (Test Mode)|2305|Acme" \
    "click|Gadget Setup - User Information (Test Mode)|3" "wait|Gadget Setup - Destination Folder (Test Mode)" \
    "click|Gadget Setup - Destination Folder (Test Mode)|3" "wait|Gadget Setup - Confirmation (Test Mode)" \
    || fail "on to the confirmation over the hidden setup type"
[ "$(points)" = "point0 point1 point2 point3 " ] || fail "points in order: $(points)"
c="Gadget Setup - Confirmation (Test Mode)"
drive "click|$c|4" "wait|Gadget Setup - Destination Folder (Test Mode)" || fail "Back over the hidden setup type"
drive "click|Gadget Setup - Destination Folder (Test Mode)|3" "wait|$c" || fail "Next again"
drive "click|$c|2" "wait|Gadget Setup" "expect|Gadget Setup|65535|Are you sure you want to quit setup?" \
    "click|Gadget Setup|7" "gone|Gadget Setup" "wait|$c" || fail "No to the quit question"
# The window's close box asks the same question.
drive "syscommand|$c|61536" "wait|Gadget Setup" "expect|Gadget Setup|65535|Are you sure you want to quit setup?" \
    "click|Gadget Setup|7" "gone|Gadget Setup" "wait|$c" || fail "the close box"
drive "click|$c|2" "wait|Gadget Setup" "click|Gadget Setup|6" "gone|$c" || fail "Yes to the quit question"
ended || fail "the setup program did not end after quitting"
wait "$app_pid"
code=$?
[ "$code" = $((1602 % 256)) ] || fail "quitting ended with $code, not 1602 (seen through Wine as 1602 % 256)"

# ---- a library action that fails leads to the Finish page ----
build fail
start
drive "wait|Gadget Setup - Welcome|30000" "click|Gadget Setup - Welcome|3" "wait|Gadget Setup - License" \
    "click|Gadget Setup - License|5" "click|Gadget Setup - License|5" "click|Gadget Setup - License|5" \
    "wait|Gadget Setup - User Information" "type|Gadget Setup - User Information|2303|Ann" \
    "type|Gadget Setup - User Information|2305|Acme" "click|Gadget Setup - User Information|3" \
    "wait|Gadget Setup - Finish" || fail "the failing action did not lead to the Finish page"
[ "$(text_of "Gadget Setup - Finish" 2902)" = "Setup was not able to install Gadget completely! Please try again later." ] \
    || fail "failure text: $(text_of "Gadget Setup - Finish" 2902)"
drive "visible|Gadget Setup - Finish|2903|0" "visible|Gadget Setup - Finish|2904|0" || fail "failure boxes"
shot finish-failed
drive "click|Gadget Setup - Finish|6" "gone|Gadget Setup - Finish" || fail "Finish after the failure"
ended || fail "the setup program did not end"

# ---- a library action before the Welcome page that fails opens the wizard on the Finish page ----
build failfirst
start
drive "wait|Gadget Setup - Finish|30000" "visible|Gadget Setup - Finish|6|1" || fail "failing first action"
[ "$(text_of "Gadget Setup - Finish" 2902)" = "Setup was not able to install Gadget completely! Please try again later." ] \
    || fail "failure text after the first action: $(text_of "Gadget Setup - Finish" 2902)"
drive "click|Gadget Setup - Finish|6" "gone|Gadget Setup - Finish" || fail "Finish after the first action"
ended || fail "the setup program did not end"

# ---- a licence file lost from the setup's temporary folder; the target folder moved by message ----
build settarget
start
l="Gadget Setup - License"
drive "wait|Gadget Setup - Welcome|30000" "click|Gadget Setup - Welcome|3" "wait|$l" "click|$l|5" "sleep|300" \
    || fail "to the second licence"
text_of "$l" 2201 | grep -q '^Cannot open the file "C:\\.*\\License1\.txt"!$' \
    || fail "the lost licence shows: $(text_of "$l" 2201)"
drive "click|$l|5" "sleep|300" || fail "I Agree after the lost licence"
[ "$(text_of "$l" 2201)" = "Third licence, plain text." ] || fail "after the lost licence: $(text_of "$l" 2201)"
drive "click|$l|5" "wait|Gadget Setup - User Information" "type|Gadget Setup - User Information|2303|Ann" \
    "type|Gadget Setup - User Information|2305|Acme" "click|Gadget Setup - User Information|3" \
    "wait|Gadget Setup - Destination Folder" "click|Gadget Setup - Destination Folder|3" \
    "wait|Gadget Setup - Setup Types" "click|Gadget Setup - Setup Types|3" "wait|Gadget Setup - Confirmation" \
    || fail "walk to the confirmation"
text_of "Gadget Setup - Confirmation" 2701 | grep -q '^    C:\\.*\\ts[0-9a-f]*\.[0-9]*\\Moved Gadget$' \
    || fail "the action did not move the target: $(text_of "Gadget Setup - Confirmation" 2701 | sed -n 4p)"
drive "click|Gadget Setup - Confirmation|2" "wait|Gadget Setup" "click|Gadget Setup|6" \
    "gone|Gadget Setup - Confirmation" || fail "quitting"
ended || fail "the setup program did not end"

# ---- a first installation for real; the Finish page opens the readme ----
build skip
database=$(winpath "$media/tsdb.dat")
: >"$WIZARD_ACTION_LOG"
start
w="Gadget Setup - Welcome"
u="Gadget Setup - User Information"
d="Gadget Setup - Destination Folder"
c="Gadget Setup - Confirmation"
e="Gadget Setup - Finish"
drive "wait|$w|30000" "sleep|3000" "click|$w|3" "wait|$u" "type|$u|2303|Ann" "type|$u|2305|Acme" "click|$u|3" \
    "wait|$d" "click|$d|3" "wait|$c" "click|$c|3" "wait|$e|60000" || fail "installing through the wizard"
drive "checked|$e|2903|1" "checked|$e|2904|0" || fail "the readme box checked, the run box clear"
# With both boxes checked the readme wins: it opens in its program, and the product's program stays.
drive "check|$e|2904|1" "click|$e|6" "gone|$e" "wait|readme.txt - Notepad|30000" || fail "the readme was not opened"
drive "syscommand|readme.txt - Notepad|61536" "gone|readme.txt - Notepad" || fail "closing the readme"
ended || fail "the setup program did not end after Finish"
! grep -q "started without arguments" "$WIZARD_ACTION_LOG" || fail "the program was started beside the readme"
[ -f "$prefix/drive_c/Gadget/Docs/readme.txt" ] || fail "the wizard did not install the product"

# ---- maintenance runs of the installed product (test mode: nothing changes) ----
start -AT "$database"
w="Gadget Setup - Welcome (Test Mode)"
drive "wait|$w|30000" "visible|$w|1004|1" "checked|$w|1004|1" "checked|$w|1005|0" "checked|$w|1050|0" \
    "enabled|$w|1005|1" || fail "maintenance choices"
text_of "$w" 2101 | grep -q "This program will remove, modify, or repair Gadget installation. It is strongly" \
    || fail "maintenance welcome text: $(text_of "$w" 2101)"
shot maintenance-welcome
# Change: the feature tree comes next, and Back returns to the Welcome page.
f="Gadget Setup - Select Features (Test Mode)"
c="Gadget Setup - Confirmation (Test Mode)"
drive "click|$w|3" "wait|$f" "click|$f|4" "wait|$w" "click|$w|3" "wait|$f" "click|$f|3" "wait|$c" \
    || fail "change: Welcome, features, Back and on"
# Every feature is installed and stays so: the change changes nothing, which the page says.
text_of "$c" 2701 | grep -q '^  Your selection does not change any features of the installation. Please click Back' \
    || fail "change confirmation: $(text_of "$c" 2701)"
drive "visible|$c|3|0" "visible|$c|4|1" "visible|$c|2|1" || fail "only Back and Cancel without a change"
shot change-confirmation
drive "click|$c|4" "wait|$f" "click|$f|4" "wait|$w" || fail "Back from the change confirmation"
# Repair: straight to the run, then the Finish page in repair words.
drive "check|$w|1050|1" "click|$w|3" "wait|Gadget Setup - Finish (Test Mode)|30000" || fail "repair"
[ "$(text_of "Gadget Setup - Finish (Test Mode)" 2902)" = "Setup has finished repairing Gadget." ] \
    || fail "repair finish text: $(text_of "Gadget Setup - Finish (Test Mode)" 2902)"
drive "click|Gadget Setup - Finish (Test Mode)|6" "gone|Gadget Setup - Finish (Test Mode)" || fail "Finish after repair"
ended || fail "the setup program did not end after the repair"

# A real change through the wizard: Extras added, Samples dropped.
start -A "$database"
w="Gadget Setup - Welcome"
f="Gadget Setup - Select Features"
c="Gadget Setup - Confirmation"
e="Gadget Setup - Finish"
drive "wait|$w|30000" "checked|$w|1004|1" "click|$w|3" "wait|$f" "tree-select|$f|2601|Extras" "menu-key|$f|2601" \
    "menu-choose|1" "sleep|300" "tree-select|$f|2601|Program\\Samples" "menu-key|$f|2601" "menu-choose|0" \
    "sleep|300" "click|$f|3" "wait|$c" || fail "change: the features switched"
text_of "$c" 2701 >"$work/confirmation"
printf '%s\n' 'Setup is going to modify your installation of "Gadget".' '' 'Features being installed:' '    Extras' '' \
    'Features being removed:' '    Samples' | diff - "$work/confirmation" || fail "change confirmation"
drive "click|$c|3" "wait|$e|30000" "check|$e|2903|0" "check|$e|2904|0" "click|$e|6" "gone|$e" \
    || fail "change: the run to the Finish page"
ended || fail "the setup program did not end after the change"
[ -f "$prefix/drive_c/Gadget/Docs/extras.txt" ] || fail "the change did not install Extras"
[ ! -e "$prefix/drive_c/Gadget/Docs/samples.txt" ] || fail "the change did not remove Samples"
[ -f "$prefix/drive_c/Gadget/Docs/help.txt" ] || fail "the change removed Help"

# Removal through the wizard: straight to the run, then the Finish page in removal words.
start -A "$database"
drive "wait|$w|30000" "check|$w|1005|1" "click|$w|3" "wait|$e|60000" || fail "removal"
[ "$(text_of "$e" 2902)" = "Setup has finished removing Gadget from your computer." ] \
    || fail "removal finish text: $(text_of "$e" 2902)"
drive "visible|$e|2903|0" "visible|$e|2904|0" "click|$e|6" "gone|$e" || fail "Finish after the removal"
ended || fail "the setup program did not end after the removal"
[ ! -e "$prefix/drive_c/Gadget" ] || fail "the removal left C:\\Gadget"
"$wine_run" uninstaller --list 2>/dev/null | grep -q "Gadget" && fail "the removal left the product listed"

# ---- only the run offered: one clear box that starts the installed program; the target folder set by a
# library action while the destination page is hidden ----
build runonly
database=$(winpath "$media/tsdb.dat")
: >"$WIZARD_ACTION_LOG"
start
drive "wait|$w|30000" "click|$w|3" "wait|$e|60000" "expect|$e|2903|Run \"tool.exe\"" "checked|$e|2903|0" \
    "visible|$e|2904|0" || fail "the run box"
drive "check|$e|2903|1" "click|$e|6" "gone|$e" || fail "Finish with the run box checked"
ended || fail "the setup program did not end"
for _ in $(seq 1 100); do
    grep -q "started without arguments" "$WIZARD_ACTION_LOG" && break
    sleep 0.1
done
grep -q "started without arguments" "$WIZARD_ACTION_LOG" || fail "the installed program was not started"
# The library action's target folder outlived the hidden destination page.
[ -f "$prefix/drive_c/Gadget/Bin/tool.exe" ] || fail "the product is not in the folder that the action set"
"$wine_run" "$media/Setup.exe" -SU "$database" </dev/null >/dev/null 2>&1 || fail "removing the product"
[ ! -e "$prefix/drive_c/Gadget" ] || fail "the removal left C:\\Gadget"

# ---- a file in use: replaced at the restart that the Finish page offers and performs ----
readme="$prefix/drive_c/Gadget/Docs/readme.txt"
mkdir -p "$(dirname "$readme")"
echo "old readme" >"$readme"
touch -d 2001-01-01 "$readme"
"$wine_run" "$tree/tests/ui/wizard_action.exe" hold 'C:\Gadget\Docs\readme.txt' >/dev/null 2>&1 </dev/null &
drive "wait|Holding a file|30000" || fail "the program that holds the readme"
start
drive "wait|$w|30000" "click|$w|3" "wait|$e|60000" "expect|$e|2903|Restart Now" "checked|$e|2903|1" \
    "visible|$e|2904|0" || fail "the restart box of a file in use"
[ "$(text_of "$e" 2902)" = "Setup has finished installing Gadget. You must restart your computer to complete \
the installation." ] || fail "finish text with a file in use: $(text_of "$e" 2902)"
shot finish-restart-needed
# The restart ends the session's programs, and the waiting file takes the place of the one that was in use.
drive "click|$e|6" "gone|$e" "gone|Holding a file|30000" || fail "the restart"
ended 600 || fail "the setup program did not end after the restart"
# The waiting file is moved by the restart's own process, which may still be at work when Setup ends.
for _ in $(seq 1 100); do
    [ "$(tr -d '\r' <"$readme")" = "Gadget readme" ] && break
    sleep 0.1
done
[ "$(tr -d '\r' <"$readme")" = "Gadget readme" ] || fail "the restart did not replace the file in use: $(cat "$readme")"
[ ! -e "$readme.cor" ] || fail "the restart left the waiting file"
"$wine_run" "$media/Setup.exe" -SU "$database" </dev/null >/dev/null 2>&1 || fail "removing the product"

# ---- the restart always offered: one checked box; cleared, Finish just ends the setup program ----
build restart
start -T
w="Gadget Setup - Welcome (Test Mode)"
e="Gadget Setup - Finish (Test Mode)"
drive "wait|$w|30000" "click|$w|3" "wait|$e|60000" "expect|$e|2903|Restart Now" "checked|$e|2903|1" \
    "visible|$e|2904|0" || fail "the restart box"
shot finish-restart
drive "check|$e|2903|0" "click|$e|6" "gone|$e" || fail "Finish with the restart box cleared"
ended || fail "the setup program did not end"

# ---- a damaged single-file Setup.exe says so in the full interface, installs nothing and ends with 1 ----
"$native/cli/tessaro" build "$work/full/wizard.tsp" --set media.type=2 --out "$work/single" \
    --raw-setup "$tree/setup/TSS.dat" >"$work/single.log" 2>&1 || { cat "$work/single.log"; fail "single-file media"; }
python3 - "$work/single/Setup.exe" "$work/single/Damaged.exe" <<'PY'
import sys
data = bytearray(open(sys.argv[1], "rb").read())
n = int.from_bytes(data[-4:], "little")
data[n + 40] ^= 0x20
open(sys.argv[2], "wb").write(data)
PY
"$wine_run" "$work/single/Damaged.exe" >/dev/null 2>&1 </dev/null &
app_pid=$!
drive "wait|Setup|30000" "expect|Setup|65535|The setup file is damaged" || fail "the damaged Setup.exe's message"
shot damaged
drive "click|Setup|1" "gone|Setup" || fail "closing the damaged Setup.exe's message"
ended || fail "the damaged Setup.exe did not end"
wait "$app_pid"
code=$?
[ "$code" = 1 ] || fail "the damaged Setup.exe ended with $code, not 1"

finish "setup wizard"
