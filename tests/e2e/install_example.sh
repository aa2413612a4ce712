#!/bin/sh
# The bundled example's CD media, built by tessaro build around the real setup program, run under Wine the
# way the system's list of installed programs runs it: a test run that changes nothing, a silent
# installation (files with their times, registry data, the document type, shortcuts, the setup program's
# copy, the product's entry that Wine's own uninstaller lists), a repair through the stored command that
# restores a deleted file, and a removal through the stored command that leaves nothing of the product
# (no folder that it made, and every folder that was there before); then single-file media without data
# files, installed and removed the same way.
# Arguments: the x86_64 tree, tessaro, make_example, the Wine runner.
set -u
. "$(dirname "$0")/example_media.sh"
target="$drive/Program Files/Aldmere/Widget"
uninstall_key() { echo "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$1"; }
listed() { "$wine_run" uninstaller --list 2>/dev/null | tr -d '\r' | grep -q "^$1|||Widget\$"; }
# Runs a command line stored by the setup program, with S (silent) and the given letters added to its
# options; the database path, blanks included, is in double quotes.
run_stored() {  # command line, extra option letters
    # Split into words as the system splits a command line: blanks part words, double quotes keep a path
    # with blanks whole (backslashes doubled first, so that eval keeps them).
    command=$(printf "%s\n" "$1" | sed "s/ -\([A-Z]*\) / -S$2\1 /; s/\\\\/\\\\\\\\/g")
    eval "set -- $command"
    "$wine_run" "$@" </dev/null >/dev/null 2>&1
}

# What an earlier, interrupted run may have left must not count as there before.
rm -rf "$drive/Program Files/Aldmere"
"$wine_run" reg delete 'HKLM\Software\Aldmere Example' /f >/dev/null 2>&1

"$make_example" "$work/example" "$tree/examples/Widget.exe" >/dev/null || { fail "make_example"; exit 1; }
"$tessaro" build "$work/example/widget.tsp" --out "$work/out" --raw-setup "$tree/setup/TSS.dat" >"$work/build.log" ||
    { cat "$work/build.log"; fail "tessaro build"; exit 1; }
setup=$(winpath "$work/out/CD/CD1/Setup.exe")
files="$work/example/files"

# Test mode reports everything and changes nothing.
"$wine_run" "$setup" -ST </dev/null >/dev/null 2>&1 || fail "the test run ended with $?"
[ ! -e "$target" ] || fail "the test run made the target folder"
reg_key_exists 'HKLM\Software\Aldmere Example' && fail "the test run wrote the product's registry key"

# The silent installation.
"$wine_run" "$setup" -S </dev/null >/dev/null 2>&1 || fail "the installation ended with $?"
for pair in Bin/Widget.exe:Widget.exe Docs/readme.txt:readme.txt Docs/widget-help.txt:widget-help.txt \
    Docs/logo.bmp:logo.bmp; do
    installed="$target/${pair%%:*}"
    source="$files/${pair#*:}"
    cmp -s "$installed" "$source" || fail "${pair%%:*} is not installed as its source"
    # Cabinets keep DOS times: the installed file has its source's time to the even second below.
    age=$(($(stat -c %Y "$source") - $(stat -c %Y "$installed" 2>/dev/null || echo 0)))
    [ "$age" -ge 0 ] && [ "$age" -le 1 ] ||
        fail "${pair%%:*} does not keep its source's time: $(stat -c %y "$installed") for $(stat -c %y "$source")"
done
[ -f "$target/tsdb.dat" ] || fail "no database saved in the target folder"
[ "$(reg_value 'HKLM\Software\Aldmere Example\Widget' InstallDir)" = 'C:\Program Files\Aldmere\Widget' ] ||
    fail "InstallDir: $(reg_value 'HKLM\Software\Aldmere Example\Widget' InstallDir)"
[ "$(reg_value 'HKLM\Software\Aldmere Example\Widget' Runs)" = 0x0 ] || fail "the double word Runs"
[ "$(reg_value 'HKCU\Software\Aldmere Example Widget' Colour)" = green ] || fail "the user's Colour"
[ "$(reg_value 'HKCR\.wdg' '(Default)')" = Widget.Document ] || fail "the extension .wdg"
[ "$(reg_value 'HKCR\Widget.Document\shell\open\command' '(Default)')" = \
    '"C:\Program Files\Aldmere\Widget\Bin\Widget.exe" "%1"' ] || fail "the open verb's command"
menu=$(find "$drive/users" -path '*Start Menu/Programs/Widget' -type d 2>/dev/null | head -1)
[ -n "$menu" ] && [ -f "$menu/Widget.lnk" ] && [ -f "$menu/Widget Help.lnk" ] || fail "the Start menu shortcuts"
grep -aq 'Widget.exe' "$menu/Widget.lnk" 2>/dev/null || fail "the Widget shortcut does not name Widget.exe"
[ -f "$drive/windows/system32/TSSetup.exe" ] || fail "no setup program copy"
count=$(reg_value 'HKLM\Software\Microsoft\Windows\CurrentVersion\SharedDLLs' 'C:\windows\system32\TSSetup.exe')
[ -n "$count" ] || fail "the setup program's copy is not counted in SharedDLLs"
guid=$("$wine_run" uninstaller --list 2>/dev/null | tr -d '\r' | awk -F'|' '$4 == "Widget" {print $1}' | tail -1)
[ -n "$guid" ] || fail "Wine's uninstaller does not list the product"
key=$(uninstall_key "$guid")
[ "$(reg_value "$key" DisplayVersion)" = 1.0 ] || fail "DisplayVersion"
[ "$(reg_value "$key" Publisher)" = "Aldmere Example Software" ] || fail "Publisher"
[ "$(reg_value "$key" InstallLocation)" = 'C:\Program Files\Aldmere\Widget' ] || fail "InstallLocation"
uninstall=$(reg_value "$key" UninstallString)
modify=$(reg_value "$key" ModifyPath)
[ "$uninstall" = 'C:\windows\system32\TSSetup.exe -U "C:\Program Files\Aldmere\Widget\TSdb.dat"' ] ||
    fail "UninstallString: $uninstall"
[ "$modify" = 'C:\windows\system32\TSSetup.exe -C "C:\Program Files\Aldmere\Widget\TSdb.dat"' ] ||
    fail "ModifyPath: $modify"
reg_key_exists "$key\\InstalledFeatures" || fail "no InstalledFeatures"

# A repair through the stored maintenance command restores a deleted file.
rm -f "$target/Docs/readme.txt"
run_stored "$modify" R || fail "the repair ended with $?"
cmp -s "$target/Docs/readme.txt" "$files/readme.txt" || fail "the repair did not restore readme.txt"

# The removal through the stored command leaves nothing of the product.
run_stored "$uninstall" "" || fail "the removal ended with $?"
[ ! -e "$target" ] || fail "the removal left: $(cd "$target" && find . | tr '\n' ' ')"
reg_key_exists 'HKLM\Software\Aldmere Example' && fail "the removal left the product's registry key"
reg_key_exists 'HKCU\Software\Aldmere Example Widget' && fail "the removal left the user's key"
reg_key_exists 'HKCR\.wdg' && fail "the removal left the extension .wdg"
reg_key_exists 'HKCR\Widget.Document' && fail "the removal left the document type"
[ -e "$menu" ] && fail "the removal left the Start menu folder"
reg_key_exists "$key" && fail "the removal left the product's entry"
listed "$guid" && fail "Wine's uninstaller still lists the product"
[ "$(reg_value 'HKLM\Software\Microsoft\Windows\CurrentVersion\SharedDLLs' 'C:\windows\system32\TSSetup.exe')" = \
    "$count" ] && fail "the setup program's copy is still counted as before the removal"

[ -e "$drive/Program Files/Aldmere" ] && fail "the removal left the folder it made for the target folder"

# Only the folders that the installation made go: a folder that was there before stays, empty or not,
# and so does a folder that holds a file of the user's.
mkdir -p "$target/Docs"
"$wine_run" "$setup" -S </dev/null >/dev/null 2>&1 || fail "the second installation ended with $?"
echo "mine" >"$target/Bin/notes.txt"
uninstall=$(reg_value "$(uninstall_key "$guid")" UninstallString)
run_stored "$uninstall" "" || fail "the second removal ended with $?"
[ -d "$target/Docs" ] || fail "the removal took the Docs folder that was there before"
[ -f "$target/Bin/notes.txt" ] || fail "the removal took the user's file"
[ -f "$target/Bin/Widget.exe" ] && fail "the second removal left Widget.exe"
[ -e "$menu" ] && fail "the second removal left the Start menu folder that it made"
rm -rf "$drive/Program Files/Aldmere"

# Single-file media without data files (registry data and a Source Folder file only): the payload ends
# with the database, and the program still finds it, installs and registers the product.
settings_target="$drive/Program Files/Aldmere Settings/Widget Settings"
rm -rf "$drive/Program Files/Aldmere Settings"
"$wine_run" reg delete 'HKLM\Software\Aldmere Example' /f >/dev/null 2>&1
"$make_example" "$work/settings" "$tree/examples/Widget.exe" --settings-only >/dev/null || fail "make_example settings"
"$tessaro" build "$work/settings/settings.tsp" --out "$work/settings-out" --raw-setup "$tree/setup/TSS.dat" \
    >"$work/settings-build.log" || { cat "$work/settings-build.log"; fail "tessaro build of the settings"; }
[ "$(ls "$work/settings-out")" = Setup.exe ] || fail "single-file media: $(ls "$work/settings-out" | tr '\n' ' ')"
"$wine_run" "$(winpath "$work/settings-out/Setup.exe")" -S </dev/null >/dev/null 2>&1 ||
    fail "the single-file installation without data files ended with $?"
settings_key='HKLM\Software\Aldmere Example\Widget Settings'
[ "$(reg_value "$settings_key" Greeting)" = hello ] || fail "single-file media: the registry data is not written"
[ "$(reg_value "$settings_key" Folder)" = 'C:\Program Files\Aldmere Settings\Widget Settings' ] ||
    fail "single-file media: Folder is $(reg_value "$settings_key" Folder)"
[ -f "$settings_target/tsdb.dat" ] || fail "single-file media: no database saved in the target folder"
settings_guid=$("$wine_run" uninstaller --list 2>/dev/null | tr -d '\r' |
    awk -F'|' '$4 == "Widget Settings" {print $1}' | tail -1)
[ -n "$settings_guid" ] || fail "single-file media: Wine's uninstaller does not list the product"
settings_uninstall=$(reg_value "$(uninstall_key "$settings_guid")" UninstallString)
run_stored "$settings_uninstall" "" || fail "the removal of the settings ended with $?"
reg_key_exists "$settings_key" && fail "the removal of the settings left its registry data"
[ -e "$drive/Program Files/Aldmere Settings" ] &&
    fail "the removal of the settings left: $(cd "$drive/Program Files" && find "Aldmere Settings" | tr '\n' ' ')"

[ "$failures" = 0 ] && echo "install_example: the example installed, repaired and removed as expected"
exit "$failures"
