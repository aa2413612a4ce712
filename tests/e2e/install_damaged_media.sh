#!/bin/sh
# The bundled example's CD media with their data cabinet removed, cut short or replaced, installed silently
# under Wine: every such run ends with the exit code of a failed sequence (1603), leaves no Uninstall entry
# and none of the product's registry data, takes away the folders, files and Start-menu folder it made,
# and never empties a file that was there before (a user's own copy, or an installed file that a repair
# from damaged media tries to restore). A run keeps its temporary files in a private folder of its own.
# The whole media install and remove as usual afterwards.
# Arguments: the x86_64 tree, tessaro, make_example, the Wine runner.
set -u
. "$(dirname "$0")/example_media.sh"
vendor="$drive/Program Files/Aldmere"
target="$vendor/Widget"
# Wine hands a program's exit code to the shell in its low 8 bits: a failed sequence's 1603 arrives as 67.
failed_during=$((1603 % 256))
# Runs a command line stored by the setup program with S (silent) and the given letters added to its
# options; prints the exit code.
run_stored() {
    # Split into words as the system splits a command line: blanks part words, double quotes keep a path
    # with blanks whole (backslashes doubled first, so that eval keeps them).
    command=$(printf "%s\n" "$1" | sed "s/ -\([A-Z]*\) / -S$2\1 /; s/\\\\/\\\\\\\\/g")
    eval "set -- $command"
    "$wine_run" "$@" </dev/null >/dev/null 2>&1
    echo $?
}
clean_machine() {
    rm -rf "$vendor"
    "$wine_run" reg delete 'HKLM\Software\Aldmere Example' /f >/dev/null 2>&1
    "$wine_run" reg delete 'HKCU\Software\Aldmere Example Widget' /f >/dev/null 2>&1
    menu=$(start_menu)
    [ -n "$menu" ] && rm -rf "$menu"
}
# After a failed first installation: nothing of the product is registered and nothing it made is left
# (given which files were there before, as "folder/name" pairs below the target).
expect_nothing_left() {  # case, files that were there before...
    label=$1
    shift
    [ -z "$(product_guid)" ] || fail "$label: the product is listed as installed"
    reg_key_exists 'HKLM\Software\Aldmere Example' && fail "$label: the product's registry data was written"
    [ -z "$(start_menu)" ] || fail "$label: left the Start-menu folder $(start_menu)"
    if [ $# = 0 ]; then
        [ ! -e "$vendor" ] || fail "$label: left $(cd "$drive/Program Files" && find Aldmere | tr '\n' ' ')"
    else
        left=$(cd "$target" 2>/dev/null && find . -type f | sed 's|^\./||' | sort | tr '\n' ' ')
        [ "$left" = "$(printf '%s\n' "$@" | sort | tr '\n' ' ')" ] || fail "$label: the target holds $left"
    fi
}

clean_machine
"$make_example" "$work/example" "$tree/examples/Widget.exe" >/dev/null || { fail "make_example"; exit 1; }
"$tessaro" build "$work/example/widget.tsp" --out "$work/out" --raw-setup "$tree/setup/TSS.dat" >"$work/build.log" ||
    { cat "$work/build.log"; fail "tessaro build"; exit 1; }
media="$work/out/CD/CD1"
files="$work/example/files"
cp "$media/TSData1.cab" "$work/good.cab"
cabinet_size=$(stat -c %s "$work/good.cab")
pairs="Bin/Widget.exe:Widget.exe Docs/readme.txt:readme.txt Docs/widget-help.txt:widget-help.txt Docs/logo.bmp:logo.bmp"

# A run works in a private folder of its own under the temporary folder and removes only that: a folder
# named as the setup program's private folder once was stays with what it holds.
temp=$(find "$drive/users" -maxdepth 2 -name Temp -type d | grep -v '/Public/' | head -1)
mkdir -p "$temp/ts"
echo "someone else's" >"$temp/ts/keep.txt"
before=$(ls "$temp" | sort | tr '\n' ' ')
code=$(run_setup "$media" -ST)
[ "$code" = 0 ] || fail "the test run ended with $code"
[ "$(cat "$temp/ts/keep.txt" 2>/dev/null)" = "someone else's" ] || fail "the run deleted the folder ts in Temp"
[ "$(ls "$temp" | sort | tr '\n' ' ')" = "$before" ] || fail "the run left in Temp: $(ls "$temp" | tr '\n' ' ')"
rm -rf "$temp/ts"

# Each damaged cabinet, on a clean machine: the failed sequence's exit code and nothing left.
head -c $((cabinet_size * 3 / 5)) "$work/good.cab" >"$work/short.cab"
printf 'not the program' >"$work/Widget.exe"
"$tessaro" cab create --cab-pattern TSData1.cab "$work/wrong" "$work/Widget.exe" >/dev/null ||
    fail "the wrong cabinet was not made"
"$tessaro" cab create --cab-pattern TSData1.cab "$work/first-only" "$files/Widget.exe" >/dev/null ||
    fail "the cabinet with the first file only was not made"
for case in missing short wrong first-only; do
    clean_machine
    case $case in
        missing) rm -f "$media/TSData1.cab" ;;
        short) cp "$work/short.cab" "$media/TSData1.cab" ;;
        *) cp "$work/$case/TSData1.cab" "$media/TSData1.cab" ;;
    esac
    code=$(run_setup "$media" -S)
    [ "$code" = "$failed_during" ] || fail "$case cabinet: the installation ended with $code"
    expect_nothing_left "$case cabinet"
done

# A user's own older copies of the product's files stay whole when the cabinet fails half-way: each is
# either the user's copy or the new file, never an emptied one; the folder that was there stays.
clean_machine
mkdir -p "$target/Bin" "$target/Docs"
for pair in $pairs; do
    echo "the user's own ${pair%%:*}" >"$target/${pair%%:*}"
    touch -d 2001-01-01 "$target/${pair%%:*}"
done
cp "$work/short.cab" "$media/TSData1.cab"
code=$(run_setup "$media" -S)
[ "$code" = "$failed_during" ] || fail "over the user's files: the installation ended with $code"
for pair in $pairs; do
    installed="$target/${pair%%:*}"
    if ! cmp -s "$installed" "$files/${pair#*:}" && [ "$(cat "$installed" 2>/dev/null)" != "the user's own ${pair%%:*}" ]; then
        fail "over the user's files: ${pair%%:*} is neither the user's nor the product's ($(stat -c %s "$installed" 2>&1) bytes)"
    fi
done
expect_nothing_left "over the user's files" Bin/Widget.exe Docs/readme.txt Docs/widget-help.txt Docs/logo.bmp

# A repair from a cabinet cut short leaves every installed file whole and says that it failed.
clean_machine
cp "$work/good.cab" "$media/TSData1.cab"
code=$(run_setup "$media" -S)
[ "$code" = 0 ] || fail "the installation from whole media ended with $code"
guid=$(product_guid)
[ -n "$guid" ] || fail "the installation from whole media is not listed"
key="HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$guid"
modify=$(reg_value "$key" ModifyPath)
uninstall=$(reg_value "$key" UninstallString)
for pair in $pairs; do touch -d 2001-01-01 "$target/${pair%%:*}"; done
cp "$work/short.cab" "$media/TSData1.cab"
code=$(run_stored "$modify" R)
[ "$code" = "$failed_during" ] || fail "the repair from a cabinet cut short ended with $code"
for pair in $pairs; do
    cmp -s "$target/${pair%%:*}" "$files/${pair#*:}" ||
        fail "the failed repair changed ${pair%%:*} ($(stat -c %s "$target/${pair%%:*}" 2>&1) bytes)"
done
[ "$(product_guid)" = "$guid" ] || fail "the failed repair unregistered the product"

# With the cabinet whole again, the repair and the removal succeed and leave nothing behind.
cp "$work/good.cab" "$media/TSData1.cab"
code=$(run_stored "$modify" R)
[ "$code" = 0 ] || fail "the repair from whole media ended with $code"
code=$(run_stored "$uninstall" "")
[ "$code" = 0 ] || fail "the removal ended with $code"
expect_nothing_left "the removal"

clean_machine
[ "$failures" = 0 ] && echo "install_damaged_media: every damaged cabinet failed the run and lost nothing"
exit "$failures"
