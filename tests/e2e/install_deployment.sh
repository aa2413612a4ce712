#!/bin/sh
# The bundled example's CD media installed as a deployment tool installs them: silently, with a log file
# (-L), a target folder (-D) with a blank in it and one feature (-P: Program, with its Shortcuts below it,
# and not Documentation), then removed through the stored quiet removal command. The log tells what each
# step did; the disk holds that feature's files only. Bad values
# (an unknown feature, a relative target, a log that cannot be made) end the run with exit code 2 before
# anything is installed. A run whose data cabinet is missing ends with 1603 and keeps its log, with the
# reason and the exit code: at the -L path, or, without -L, as TSSetup.log in the user's temporary folder.
# Arguments: the x86_64 tree, tessaro, make_example, the Wine runner.
set -u
. "$(dirname "$0")/example_media.sh"
target="$drive/Deploy Test/Widget"
target_win='C:\Deploy Test\Widget'
# Wine hands a program's exit code to the shell in its low 8 bits: 1603 arrives as 67.
failed_during=$((1603 % 256))
# The log without its time stamps and line ends: "Event: detail" per line.
events() { tr -d '\r' <"$1" | cut -c22-; }
# The log holds a line that begins with this text (taken as it is: no pattern, no escapes).
logged() {  # log file, line start, case
    events "$1" | START=$2 awk 'index($0, ENVIRON["START"]) == 1 {found = 1} END {exit !found}' ||
        fail "$3: the log has no line \"$2\""
}
# Runs the stored quiet removal command of the listed product, split as the system splits a command line
# (the quoted database path is one word); backslashes are doubled first, so that eval keeps them.
remove_quietly() {  # extra arguments before the stored options
    key="HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$(product_guid)"
    command=$(reg_value "$key" QuietUninstallString | sed 's/\\/\\\\/g')
    [ -n "$command" ] || return 1
    eval "set -- $command \"\$@\""
    program=$1
    options=$2
    database=$3
    shift 3
    "$wine_run" "$program" "$@" "$options" "$database" </dev/null >/dev/null 2>&1
}
clean_machine() {  # what an earlier, interrupted run may have left
    [ -n "$(product_guid)" ] && remove_quietly
    guid=$(product_guid)
    [ -n "$guid" ] && "$wine_run" reg delete "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$guid" /f \
        >/dev/null 2>&1
    rm -rf "$drive/Deploy Test" "$drive/Program Files/Aldmere"
    "$wine_run" reg delete 'HKLM\Software\Aldmere Example' /f >/dev/null 2>&1
    "$wine_run" reg delete 'HKCU\Software\Aldmere Example Widget' /f >/dev/null 2>&1
    menu=$(start_menu)
    [ -n "$menu" ] && rm -rf "$menu"
}
nothing_installed() {  # case
    [ ! -e "$drive/Deploy Test" ] || fail "$1: made $(cd "$drive" && find "Deploy Test" | tr '\n' ' ')"
    [ ! -e "$drive/Program Files/Aldmere" ] || fail "$1: installed into the database's target folder"
    [ -z "$(product_guid)" ] || fail "$1: the product is listed as installed"
}

clean_machine
"$make_example" "$work/example" "$tree/examples/Widget.exe" >/dev/null || { fail "make_example"; exit 1; }
"$tessaro" build "$work/example/widget.tsp" --out "$work/out" --raw-setup "$tree/setup/TSS.dat" >"$work/build.log" ||
    { cat "$work/build.log"; fail "tessaro build"; exit 1; }
media="$work/out/CD/CD1"
files="$work/example/files"
mkdir -p "$work/log dir"
log="$work/log dir/install.log"

# Values that cannot be used end the run before anything changes.
code=$(run_setup "$media" -S -L "$(winpath "$work/log dir/unknown.log")" -D "$target_win" -P Documentation,Extras)
[ "$code" = 2 ] || fail "an unknown feature ended with $code"
nothing_installed "an unknown feature"
logged "$work/log dir/unknown.log" 'Failed: Unknown feature "Extras" on the command line!' "an unknown feature"
logged "$work/log dir/unknown.log" 'Exit code: 2 (the command line cannot be read)' "an unknown feature"
code=$(run_setup "$media" -S -D 'Deploy Test\Widget')
[ "$code" = 2 ] || fail "a relative target folder ended with $code"
code=$(run_setup "$media" -S -D "")
[ "$code" = 2 ] || fail "an empty target folder ended with $code"
nothing_installed "a relative or empty target folder"
code=$(run_setup "$media" -S -L "$(winpath "$work/no such dir/x.log")" -D "$target_win")
[ "$code" = 2 ] || fail "a log in a missing folder ended with $code"
nothing_installed "a log in a missing folder"

# The deployment: one feature into a target folder with a blank, with a log.
code=$(run_setup "$media" -S -L "$(winpath "$log")" -D "$target_win" -P program)
[ "$code" = 0 ] || fail "the installation ended with $code"
cmp -s "$target/Bin/Widget.exe" "$files/Widget.exe" || fail "Bin/Widget.exe is not installed as its source"
[ ! -e "$target/Docs" ] || fail "the Documentation feature's folder was made: $(ls "$target/Docs" | tr '\n' ' ')"
[ ! -e "$drive/Program Files/Aldmere" ] || fail "the database's target folder was used"
[ "$(reg_value 'HKLM\Software\Aldmere Example\Widget' InstallDir)" = "$target_win" ] ||
    fail "InstallDir: $(reg_value 'HKLM\Software\Aldmere Example\Widget' InstallDir)"
[ "$(reg_value 'HKCU\Software\Aldmere Example Widget' Colour)" = green ] ||
    fail "the Shortcuts feature below Program did not write the user's Colour"
logged "$log" "Features from the command line: program" "the installation"
logged "$log" "Target folder from the command line: $target_win" "the installation"
logged "$log" "Run: SM_NEW, silent, target folder $target_win" "the installation"
logged "$log" "Folder made: $target_win\\Bin" "the installation"
logged "$log" "File copied: $target_win\\Bin\\Widget.exe (Overwrite file with more recent date: no file there)" \
    "the installation"
logged "$log" "Registry value written: HKEY_LOCAL_MACHINE\\Software\\Aldmere Example\\Widget\\InstallDir" \
    "the installation"
logged "$log" "Shortcut created: " "the installation"
logged "$log" "Step: Copying Files..." "the installation"
logged "$log" "Product registered: HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" \
    "the installation"
logged "$log" "Sequence completed" "the installation"
logged "$log" "Exit code: 0 (done)" "the installation"
events "$log" | grep -q 'Docs' && fail "the log names the Documentation feature's folder"
[ "$(events "$log" | tail -1)" = "Exit code: 0 (done)" ] || fail "the log does not end with the exit code"
if tr -d '\r' <"$log" | grep -qv '^20[0-9][0-9]-[01][0-9]-[0-3][0-9] [0-2][0-9]:[0-5][0-9]:[0-5][0-9]  [A-Z]'; then
    fail "a log line without its time stamp: $(tr -d '\r' <"$log" | grep -v '^20' | head -1)"
fi

# The stored commands quote the database path; the quiet removal runs from the stored string as the
# system splits it, and logs what it removes.
guid=$(product_guid)
[ -n "$guid" ] || fail "Wine's uninstaller does not list the product"
key="HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$guid"
quiet=$(reg_value "$key" QuietUninstallString)
[ "$quiet" = "C:\\windows\\system32\\TSSetup.exe -SU \"$target_win\\TSdb.dat\"" ] || fail "QuietUninstallString: $quiet"
[ "$(reg_value "$key" UninstallString)" = "C:\\windows\\system32\\TSSetup.exe -U \"$target_win\\TSdb.dat\"" ] ||
    fail "UninstallString: $(reg_value "$key" UninstallString)"
# The log switch goes before the stored options, which the database path ends.
remove_quietly -L "$(winpath "$work/log dir/remove.log")" || fail "the quiet removal ended with $?"
[ ! -e "$target" ] || fail "the removal left: $(cd "$target" && find . | tr '\n' ' ')"
reg_key_exists "$key" && fail "the removal left the product's entry"
logged "$work/log dir/remove.log" "Mode: SM_REMOVE, silent" "the removal"
logged "$work/log dir/remove.log" "File removed: $target_win\\Bin\\Widget.exe" "the removal"
logged "$work/log dir/remove.log" "Folder removed: $target_win\\Bin" "the removal"
logged "$work/log dir/remove.log" \
    "Registry value removed: HKEY_LOCAL_MACHINE\\Software\\Aldmere Example\\Widget\\InstallDir" "the removal"
logged "$work/log dir/remove.log" "Product entry removed: " "the removal"
logged "$work/log dir/remove.log" "Exit code: 0 (done)" "the removal"
clean_machine

# A failing run: the data cabinet is missing. With -L the log is where it was asked for.
mkdir "$work/broken"
cp "$media/Setup.exe" "$media/tsdb.dat" "$work/broken/"
code=$(run_setup "$work/broken" -S -L "$(winpath "$work/log dir/failed.log")" -D "$target_win")
[ "$code" = "$failed_during" ] || fail "the run without its cabinet ended with $code"
failed="$work/log dir/failed.log"
logged "$failed" "Cabinet not found: $(winpath "$work/broken")\\TSData1.cab" "the run without its cabinet"
logged "$failed" "Failed: cancelled, or a disk or cabinet is missing" "the run without its cabinet"
logged "$failed" "Undoing the installation" "the run without its cabinet"
logged "$failed" "Exit code: 1603 (the sequence failed after it had started changing the machine)" \
    "the run without its cabinet"
nothing_installed "the run without its cabinet"

# Without -L the log of the failed run is kept in the user's temporary folder.
find "$drive/users" -name TSSetup.log -path '*Temp*' -exec rm -f {} + 2>/dev/null
code=$(run_setup "$work/broken" -S)
[ "$code" = "$failed_during" ] || fail "the second run without its cabinet ended with $code"
kept=$(find "$drive/users" -name TSSetup.log -path '*Temp*' 2>/dev/null | head -1)
if [ -z "$kept" ]; then
    fail "the failed run's log is not kept as TSSetup.log in the user's temporary folder"
else
    logged "$kept" "Cabinet not found:" "the kept log"
    logged "$kept" "Exit code: 1603" "the kept log"
    logged "$kept" "Log kept:" "the kept log"
    rm -f "$kept"
fi
# A run that succeeds leaves no such copy.
code=$(run_setup "$media" -S -D "$target_win" -P Program)
[ "$code" = 0 ] || fail "the installation without -L ended with $code"
[ -z "$(find "$drive/users" -name TSSetup.log -path '*Temp*' 2>/dev/null)" ] ||
    fail "a successful run kept its log in the temporary folder"
remove_quietly || fail "the second quiet removal ended with $?"
[ ! -e "$target" ] || fail "the second removal left the target folder"
clean_machine

[ "$failures" = 0 ] && echo "install_deployment: logs, target folder, features and kept logs as expected"
exit "$failures"
