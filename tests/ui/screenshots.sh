#!/bin/sh
# Screenshots of the authoring program's main window on its General, Maintenance, User Interface (four of
# its categories), Custom Actions (with its dialog), Doc Types (with the document type and verb dialogs),
# Registry (with the value dialog), Features (both source views, with Feature Properties), Folders (with Show
# Shortcuts, the file and folder properties and the special folders) and Setup Media pages, with the bundled
# example open (the Setup Media page after a build, its output list filled), and of the item choosers and the
# shortcut dialog, for a reviewer; the main window maximised on every page, and the About box. Run by make
# screenshots, once at 96 and once at 120 pixels per inch.
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
# The main window at its first size and place, whatever an earlier run left.
"$wine_run" reg delete 'HKCU\Software\Aldmere\TS\Window' /f >/dev/null 2>&1 </dev/null
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
# The Custom Actions page and the custom action dialog on its action.
drive "command|$title|40015" "list-select|$title|1840|0" && shoot main-custom-actions.png || fail "Custom Actions page"
drive "key|$title|1840|F2" "wait|Custom Action Properties" "sleep|500" &&
    import -display "$DISPLAY" -window "Custom Action Properties" "$shots/dialog-custom-action.png" &&
    drive "click|Custom Action Properties|2" "gone|Custom Action Properties" || fail "custom action dialog"
# The Doc Types page and its two dialogs on the example's document type and verb.
shoot_dialog() {
    drive "wait|$1" "sleep|700" && import -display "$DISPLAY" -window "$1" "$shots/$2" || fail "no picture $2"
    drive "click|$1|2" "gone|$1" || fail "closing $1"
}
drive "command|$title|40014" "list-select|$title|1761|0" "list-select|$title|1763|0" && shoot main-doctypes.png ||
    fail "Doc Types page"
drive "key|$title|1761|F2" && shoot_dialog "Document Type Properties" dialog-doctype.png
drive "key|$title|1763|F2" && shoot_dialog "Verb Properties" dialog-verb.png
# The Registry page on the example's key, and the value dialog on its double word (with the "Base:" group).
widget_key='HKEY_LOCAL_MACHINE\Software\Aldmere Example\Widget'
drive "command|$title|40012" "tree-select|$title|2041|$widget_key" && shoot main-registry.png || fail "Registry page"
dword_row=$(drive "list|$title|2042" | tr -d '\r' | awk '/REG_DWORD/ { print NR - 1; exit }')
drive "list-click|$title|2042|${dword_row:-0}|double" && shoot_dialog "Modify DWORD Value" dialog-reg-value.png
# The Features page in both modes of its source view, and Feature Properties.
drive "command|$title|40013" "tree-select|$title|2205|Program" && shoot main-features-files.png || fail "Features page"
drive "menu-key|$title|2201" "menu-choose|1" && shoot main-features-registry.png || fail "Features page, Registry"
drive "menu-key|$title|2205" "menu-choose|3" && shoot_dialog "Feature Properties" dialog-feature-properties.png
# The Folders page with Show Shortcuts on, its two properties dialogs and the special-folder chooser (the UI
# test of the page takes the picture with Show Dynamic, on a dynamic folder that it makes).
drive "command|$title|40011" "check|$title|2003|1" "tree-select|$title|2001|Programs\\Widget" \
    "list-select|$title|2002|0" && shoot main-folders.png || fail "Folders page"
drive "tree-select|$title|2001|Target Folder\\Bin" "list-select|$title|2002|0" "key|$title|2002|F2" &&
    shoot_dialog "File Properties" dialog-file-properties.png
drive "menu-key|$title|2001" "menu-choose|4" && shoot_dialog "Folder Properties" dialog-folder-properties.png
drive "menu-key|$title|2001" "menu-choose|0" && shoot_dialog "Select Special Folders" dialog-special-folders.png
# Build: the window answers again once the build is over.
drive "command|$title|40020" "sleep|1000" "text|$title|1408" >/dev/null && shoot main-setup-media.png ||
    fail "Setup Media page after a build"
# Maximised: the page list and the current page spread over the whole screen (Wine leaves maximising a captioned window to a window manager,
# which the test display does not run, so the window is given the screen's size instead).
drive "resize|$title|0|0|1024|768" && shoot main-maximised-setup-media.png || fail "maximised Setup Media page"
for page in 40010:general 40011:folders 40012:registry 40013:features 40014:doctypes 40015:custom-actions \
    40016:ui 40017:maintenance; do
    drive "command|$title|${page%%:*}" && shoot "main-maximised-${page#*:}.png" || fail "maximised ${page#*:} page"
done
drive "resize|$title|100|100|705|540" "sleep|500" || fail "making the window small again"
drive "command|$title|40033" "wait|About Tessaro" "sleep|700" &&
    import -display "$DISPLAY" -window "About Tessaro" "$shots/dialog-about.png" &&
    drive "click|About Tessaro|1" "gone|About Tessaro" || fail "About box"
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
