#!/bin/sh
# The authoring program's Features page worked as a person would: on a project that has folders, files,
# keys and values but only the feature Main, sub-features made with Insert and label edits (a namesake in
# other case refused with its message), a folder with everything added from the source menu and one of its
# subfolders removed again from inside that entry, a key added the same way and one value of a subkey
# removed, a file and a value dropped from the source lists onto a feature, a folder and a key added by
# the menus to another, a Ctrl-drag onto a namesake's parent refused with the "copy" message, a feature
# switched off in Feature Properties; saved, built with tessaro build, the setup wizard's feature tree
# shown, and a silent installation that installs exactly the files and values of the selected features.
# Arguments: the x86_64 tree, the native tree, the wine runner, a folder for screenshots.
tree=$1
native=$2
wine_run=$3
shots=$4
driver="$tree/tests/ui/uidriver.exe"
. "$(dirname "$0")/ui_test.sh"
mkdir -p "$shots"
here=$(cd "$(dirname "$0")" && pwd)
prefix=${TESSARO_WINEPREFIX:-$here/../../build/wineprefix}
target="$prefix/drive_c/Program Files/Featured"

features() { drive "tree|$T|2205" | tr -d '\r' | tr '\n' ';'; }
resources() { drive "tree|$T|2206" | tr -d '\r' | tr '\n' ';'; }
resource_rows() { drive "list|$T|2207" | tr -d '\r*' | tr '\n' ';'; }
menu() { drive "$@" "popup-menu" | tr -d '\r' | tr '\t' ' ' | tr '\n' ';'; }
refused() {  # the message, then OK
    drive "wait|Tessaro" "expect|Tessaro|65535|$1" "icon|Tessaro|1088|1" "click|Tessaro|1" "gone|Tessaro"
}
reg_value() {
    "$wine_run" reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | awk -v name="$2" '$1 == name { print $3 }'
}

mkdir -p "$work/files"
for name in app.exe plug.dll extra.dll guide.txt readme.txt; do echo "contents of $name" >"$work/files/$name"; done
cat >"$work/featured.toml" <<'TOML'
[product]
name = 'Featured'
version = '1.0'
manufacturer = 'Feature Tests'
target = '<program files>\Featured'

[user_interface]
pages = ['Welcome', 'Setup Type', 'Features', 'Confirmation', 'Progress', 'Finish']
readme_option = 0

[[folder]]
path = '<Target Folder>'
[[folder]]
path = '<Target Folder>\App'
[[folder]]
path = '<Target Folder>\App\Plugins'
[[folder]]
path = '<Target Folder>\Docs'

[[file]]
folder = '<Target Folder>\App'
source = 'files/app.exe'
[[file]]
folder = '<Target Folder>\App\Plugins'
source = 'files/plug.dll'
[[file]]
folder = '<Target Folder>\App\Plugins'
source = 'files/extra.dll'
[[file]]
folder = '<Target Folder>\Docs'
source = 'files/guide.txt'
[[file]]
folder = '<Target Folder>'
source = 'files/readme.txt'

[[registry]]
key = 'HKEY_LOCAL_MACHINE'
[[registry]]
key = 'HKEY_LOCAL_MACHINE\Software'
[[registry]]
key = 'HKEY_LOCAL_MACHINE\Software\FeatTest'
[[registry]]
key = 'HKEY_LOCAL_MACHINE\Software\FeatTest'
name = 'Path'
type = 'string'
data = 'main'
[[registry]]
key = 'HKEY_LOCAL_MACHINE\Software\FeatTest\Tools'
[[registry]]
key = 'HKEY_LOCAL_MACHINE\Software\FeatTest\Tools'
name = 'Level'
type = 'string'
data = 'tools'
[[registry]]
key = 'HKEY_LOCAL_MACHINE\Software\FeatDocs'
[[registry]]
key = 'HKEY_LOCAL_MACHINE\Software\FeatDocs'
name = 'Pages'
type = 'string'
data = 'docs'

[[feature]]
path = 'Main'
description = 'The main feature of this installation'
required = true
TOML
"$native/cli/tessaro" import "$work/featured.toml" -o "$work/featured.tsp" >/dev/null || fail "the project"
T="Tessaro - featured.tsp"
launch "$T" "$tree/author/Tessaro.exe" "$(winpath "$work/featured.tsp")"
drive "sleep|1000" "command|$T|40013" "wait|$T" "sleep|500" >/dev/null || fail "the Features page"
[ "$(features)" = "*Main;" ] || fail "the features of the project: $(features)"
[ "$(resources)" = "*Main Resources;  File System;  Registry;" ] || fail "Main's resources: $(resources)"

# Sub-features with Insert; a namesake in other case is refused and typed again.
drive "tree-select|$T|2205|Main" "key|$T|2205|Insert" "tree-edit|$T|2205|Tools" "sleep|300" \
    "tree-select|$T|2205|Main" "key|$T|2205|Insert" "tree-edit|$T|2205|tools" >/dev/null || fail "new features"
refused "Cannot add \"tools\". A feature with the name you specified already exists. Specify a different name." ||
    fail "the clash of feature names"
drive "tree-edit|$T|2205|Docs" "sleep|300" >/dev/null || fail "the feature typed again"
[ "$(features)" = "Main;  Tools;  *Docs;" ] || fail "the features made: $(features)"

# The source menu in mode File System, with nothing that needs a folder grayed while none is selected.
drive "tree-select|$T|2205|Main" "tree-select|$T|2201|Target Folder\\App" "sleep|200" >/dev/null
m=$(menu "menu-key|$T|2201")
case "$m" in
    *"2234 File System (checked);2235 Registry;-;2236 Add this folder with all files to selected feature;2237 Add this folder with all files and subfolders to selected feature;") ;;
    *) fail "the source menu on a folder: $m" ;;
esac
drive "menu-choose|3" "sleep|300" >/dev/null || fail "adding App with everything"
[ "$(resources)" = "Main Resources;  File System;    Target Folder;      *App;        Plugins;  Registry;" ] ||
    [ "$(resources)" = "*Main Resources;  File System;    Target Folder;      App;        Plugins;  Registry;" ] ||
    fail "Main's resources after App: $(resources)"
# Plugins taken out again from inside App's entry: App keeps its own files.
drive "tree-select|$T|2206|Main Resources\\File System\\Target Folder\\App\\Plugins" "key|$T|2206|Delete" \
    "sleep|300" "tree-select|$T|2206|Main Resources\\File System\\Target Folder\\App" "sleep|200" >/dev/null ||
    fail "removing Plugins"
case "$(resources)" in *Plugins*) fail "Plugins is still a resource of Main: $(resources)" ;; esac
[ "$(resource_rows)" = "app.exe;" ] || fail "Main's files in App: $(resource_rows)"

# The registry: FeatTest with everything, then Tools' value taken out.
drive "menu-key|$T|2201" "menu-choose|1" "sleep|300" "tree-select|$T|2203|HKEY_LOCAL_MACHINE\\Software\\FeatTest" \
    "sleep|200" >/dev/null || fail "the registry source"
m=$(menu "menu-key|$T|2203")
case "$m" in
    *"2234 File System;2235 Registry (checked);-;2236 Add this key with all values to selected feature;2237 Add this key with all values and subkeys to selected feature;") ;;
    *) fail "the source menu on a key: $m" ;;
esac
drive "menu-choose|3" "sleep|300" \
    "tree-select|$T|2206|Main Resources\\Registry\\HKEY_LOCAL_MACHINE\\Software\\FeatTest\\Tools" "sleep|200" \
    >/dev/null || fail "adding FeatTest"
[ "$(resource_rows)" = "Level;" ] || fail "Main's values of Tools: $(resource_rows)"
drive "list-select|$T|2207|0" "key|$T|2207|Delete" "sleep|300" >/dev/null || fail "removing Level"
drive "tree-select|$T|2206|Main Resources\\Registry\\HKEY_LOCAL_MACHINE\\Software\\FeatTest" "sleep|200" >/dev/null
[ "$(resource_rows)" = "Path;" ] || fail "Main's values of FeatTest: $(resource_rows)"
case "$(resources)" in *Tools*) fail "Tools is still a resource of Main: $(resources)" ;; esac

# Drops from the source lists onto Tools: the value Level, then the file plug.dll.
drive "tree-select|$T|2203|HKEY_LOCAL_MACHINE\\Software\\FeatTest\\Tools" "sleep|200" \
    "drag|$T|2204:list:0|2205:tree:Main\\Tools" "sleep|500" >/dev/null || fail "dragging Level"
drive "menu-key|$T|2203" "menu-choose|0" "sleep|300" "tree-select|$T|2201|Target Folder\\App\\Plugins" "sleep|200" \
    "drag|$T|2202:list:0|2205:tree:Main\\Tools" "sleep|500" >/dev/null || fail "dragging plug.dll"
drive "tree-select|$T|2205|Main\\Tools" "sleep|200" \
    "tree-select|$T|2206|Tools Resources\\File System\\Target Folder\\App\\Plugins" "sleep|200" >/dev/null
[ "$(resource_rows)" = "plug.dll;" ] || fail "Tools' files: $(resource_rows)"
drive "tree-select|$T|2206|Tools Resources\\Registry\\HKEY_LOCAL_MACHINE\\Software\\FeatTest\\Tools" "sleep|200" \
    >/dev/null
[ "$(resource_rows)" = "Level;" ] || fail "Tools' values: $(resource_rows)"
import -display "$DISPLAY" -window root "$shots/features-page-files.png"

# Docs: its folder with the files directly in it and the key FeatDocs with its values, by the menus.
drive "tree-select|$T|2205|Main\\Docs" "tree-select|$T|2201|Target Folder\\Docs" "sleep|200" "menu-key|$T|2201" \
    "menu-choose|2" "sleep|300" "menu-key|$T|2201" "menu-choose|1" "sleep|300" \
    "tree-select|$T|2203|HKEY_LOCAL_MACHINE\\Software\\FeatDocs" "sleep|200" "menu-key|$T|2203" "menu-choose|2" \
    "sleep|300" >/dev/null || fail "Docs' resources"
case "$(resources)" in
    *"Docs Resources;  File System;    Target Folder;      Docs;  Registry;    HKEY_LOCAL_MACHINE;      Software;        FeatDocs;"*) ;;
    *) fail "Docs' resources: $(resources)" ;;
esac
import -display "$DISPLAY" -window root "$shots/features-page-registry.png"

# A copy of Docs onto Main, which has a Docs already, is refused with its message; nothing changes.
drive "drag|$T|2205:tree:Main\\Docs|2205:tree:Main|ctrl" >/dev/null || fail "the Ctrl-drag"
refused "Cannot copy the feature \"Docs\" to the target feature because a feature with that name already exists." ||
    fail "the copy onto a namesake"
drive "sleep|300" >/dev/null
[ "$(features | tr -d '*')" = "Main;  Tools;  Docs;" ] || fail "the features after the refused copy: $(features)"

# Docs no longer selected for installation at the start, in Feature Properties.
P="Feature Properties"
drive "tree-select|$T|2205|Main\\Docs" "menu-key|$T|2205" "menu-choose|3" "wait|$P" "expect|$P|2301|Docs" \
    "expect|$P|2303|Main" "checked|$P|2306|1" "check|$P|2306|0" "type|$P|2302|The documents" >/dev/null ||
    fail "Feature Properties"
import -display "$DISPLAY" -window root "$shots/feature-properties.png"
drive "click|$P|1" "gone|$P" "sleep|300" >/dev/null || fail "OK in Feature Properties"

# Saved and built.
drive "command|$T|40003" "sleep|1000" >/dev/null
drive "command|$T|40006" >/dev/null
wait "$app_pid"
"$native/cli/tessaro" build "$work/featured.tsp" --out "$work/media" --raw-setup "$tree/setup/TSS.dat" \
    >"$work/build.log" 2>&1 || { cat "$work/build.log"; fail "building the media"; }
setup=$(find "$work/media" -name Setup.exe | head -1)

# The wizard's feature tree is the tree made on the page (in test mode, then quit).
start "$setup" -T
w="Featured Setup - Welcome (Test Mode)"
s="Featured Setup - Setup Types (Test Mode)"
f="Featured Setup - Select Features (Test Mode)"
drive "wait|$w|30000" "click|$w|3" "wait|$s" "check|$s|2503|1" "sleep|200" "click|$s|3" "wait|$f" >/dev/null ||
    fail "the wizard up to its features"
[ "$(drive "tree|$f|2601" | tr -d '\r*' | tr '\n' ';')" = "Main;  Tools;  Docs;" ] ||
    fail "the wizard's feature tree: $(drive "tree|$f|2601" | tr -d '\r' | tr '\n' ';')"
import -display "$DISPLAY" -window root "$shots/features-wizard.png"
drive "click|$f|2" "wait|Featured Setup" "click|Featured Setup|6" "gone|$f" >/dev/null || fail "quitting the wizard"
ended || fail "the setup program did not end after quitting"

# A silent installation: Main and Tools, not Docs.
rm -rf "$target"
for key in FeatTest FeatDocs; do "$wine_run" reg delete "HKLM\\Software\\$key" /f >/dev/null 2>&1; done
"$wine_run" "$(winpath "$setup")" -S </dev/null >/dev/null 2>&1 || fail "the installation ended with $?"
installed=$(cd "$target" 2>/dev/null && find . -type f ! -iname tsdb.dat | sort | tr '\n' ' ')
[ "$installed" = "./App/Plugins/plug.dll ./App/app.exe " ] || fail "the files installed: $installed"
[ "$(reg_value 'HKLM\Software\FeatTest' Path)" = main ] || fail "Main's value Path"
[ "$(reg_value 'HKLM\Software\FeatTest\Tools' Level)" = tools ] || fail "Tools' value Level"
[ -z "$(reg_value 'HKLM\Software\FeatDocs' Pages)" ] || fail "Docs' value Pages was installed"
# The product removed again, so that a later run starts from nothing.
uninstall=$("$wine_run" reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s 2>/dev/null |
    tr -d '\r' | awk '/^HKEY/ { key = $0 } /DisplayName +REG_SZ +Featured$/ { print key }')
for key in $uninstall; do "$wine_run" reg delete "$key" /f >/dev/null 2>&1; done
rm -rf "$target"
for key in FeatTest FeatDocs; do "$wine_run" reg delete "HKLM\\Software\\$key" /f >/dev/null 2>&1; done
finish "features page"
