#!/bin/sh
# Screenshots of the authoring program's main window on its General, Maintenance, User Interface (four of
# its categories) and Setup Media pages, with the bundled example open (the Setup Media page after a
# build, its output list filled), and of the item choosers and the shortcut dialog, for a reviewer. Run by
# make screenshots.
# Arguments: the build folder (with its linux and win64 trees), the folder for the pictures.
build=$(cd "${1:-build}" && pwd)
shots=$2
tree="$build/win64"
here=$(cd "$(dirname "$0")" && pwd)
wine_run="$here/../../scripts/wine-run"
driver="$tree/tests/ui/uidriver.exe"
"$here/../../scripts/wine-prefix"
. "$here/ui_test.sh"
mkdir -p "$shots"

"$build/linux/examples/make_example" "$work/example" "$tree/examples/Widget.exe" >/dev/null
"$wine_run" "$tree/author/Tessaro.exe" "Z:$(echo "$work/example/widget.tsp" | tr / '\\')" >/dev/null 2>&1 </dev/null &
title="Tessaro - widget.tsp"
# The picture of the main window alone, once it has painted, with no tool tip over it (the display's
# pointer rests in the middle of the screen, where the window is).
shoot() {
    drive "sleep|700" "pop-tips|$title" "sleep|200" &&
        import -display "$DISPLAY" -window "$title" "$shots/$1" || fail "no picture $1"
}

drive "wait|$title" || fail "the example did not open"
shoot main-general.png
drive "command|$title|40017" && shoot main-maintenance.png || fail "Maintenance page"
# The User Interface page on some of its categories.
drive "command|$title|40016" "list-select|$title|1620|0" && shoot main-ui-general.png || fail "User Interface page"
drive "list-select|$title|1620|2" && shoot main-ui-license.png || fail "License Agreement category"
drive "list-select|$title|1620|3" && shoot main-ui-user-information.png || fail "User Information category"
drive "list-select|$title|1620|9" && shoot main-ui-finish.png || fail "Finish category"
# Build: the window answers again once the build is over.
drive "command|$title|40020" "sleep|1000" "text|$title|1408" >/dev/null && shoot main-setup-media.png ||
    fail "Setup Media page after a build"
drive "command|$title|40006" "gone|$title" || fail "Exit"

# The item choosers and the shortcut dialog, each alone on the small project of its UI test's host.
files="$work/files"
mkdir -p "$files"
for name in app.exe tools.dll plugin.dll readme.txt broken.ico; do printf 'MZ' >"$files/$name"; done
convert -size 32x32 xc:'#d02020' "$files/widget.ico"
dir="Z:$(echo "$files" | tr / '\\')"
dialog() {  # picture name, window title, host arguments
    picture=$1 window=$2
    shift 2
    "$wine_run" "$tree/tests/ui/author_dialog_host.exe" "$dir" "$@" >/dev/null 2>&1 </dev/null &
    host_pid=$!
    drive "wait|$window" "sleep|500" && import -display "$DISPLAY" -window "$window" "$shots/$picture" ||
        fail "no picture $picture"
    drive "command|$window|2" "gone|$window" || fail "closing $window"
    wait "$host_pid"
}
dialog dialog-select-file.png "Select File" choose file '<Target Folder>\Bin\tools.dll'
dialog dialog-select-folder.png "Select Folder" choose folder '<Target Folder>\Bin\Plugins' 1
dialog dialog-select-key.png "Select Registry Key" choose key 'HKEY_LOCAL_MACHINE\Software\Widget'
dialog dialog-select-value.png "Select Registry Value" choose value 'HKEY_LOCAL_MACHINE\Software\Widget\Count'
dialog dialog-shortcut.png "Shortcut Properties" shortcut 1
[ "$failures" = 0 ] && ls "$shots"/main-*.png "$shots"/dialog-*.png
finish "screenshots"
