#!/bin/sh
# Signed media under Wine: a certificate made here signs the bundled example's single-file Setup.exe and
# CD Setup.exe through tessaro build --sign; osslsigncode verify accepts both and the copy of the setup
# program that maintains the installed product; the signed single-file media install silently and are
# removed through the stored command; a copy with one payload byte flipped refuses to start with exit code
# 1 and installs nothing; signing options that cannot work are refused before anything is built.
# Arguments: the x86_64 tree, tessaro, make_example, the Wine runner.
set -u
. "$(dirname "$0")/example_media.sh"
target="$drive/Program Files/Aldmere/Widget"
verify() { osslsigncode verify -CAfile "$work/cert.pem" -in "$1" >"$work/verify.log" 2>&1; }

rm -rf "$drive/Program Files/Aldmere"
"$wine_run" reg delete 'HKLM\Software\Aldmere Example' /f >/dev/null 2>&1
# An entry of the example left by an interrupted run would turn the installation into maintenance.
for stale in $("$wine_run" uninstaller --list 2>/dev/null | tr -d '\r' | awk -F'|' '$4 == "Widget" {print $1}'); do
    "$wine_run" reg delete "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$stale" /f >/dev/null 2>&1
done

openssl req -x509 -newkey rsa:2048 -nodes -keyout "$work/key.pem" -out "$work/cert.pem" -days 2 \
    -subj "/CN=Tessaro Test Signer" -addext "extendedKeyUsage=codeSigning" >/dev/null 2>&1 ||
    { fail "openssl cannot make the certificate"; exit 1; }
sign="--sign --sign-cert $work/cert.pem --sign-key $work/key.pem"

"$make_example" "$work/single" "$tree/examples/Widget.exe" --single-file >/dev/null || fail "make_example single"
"$make_example" "$work/cd" "$tree/examples/Widget.exe" >/dev/null || fail "make_example cd"
# shellcheck disable=SC2086
"$tessaro" build "$work/single/widget.tsp" --out "$work/single-out" --raw-setup "$tree/setup/TSS.dat" $sign \
    >"$work/build.log" 2>&1 || { cat "$work/build.log"; fail "signed single-file build"; exit 1; }
# shellcheck disable=SC2086
"$tessaro" build "$work/cd/widget.tsp" --out "$work/cd-out" --raw-setup "$tree/setup/TSS.dat" $sign \
    >"$work/cd-build.log" 2>&1 || { cat "$work/cd-build.log"; fail "signed CD build"; }
[ "$(grep -c '^Signing' "$work/build.log")" = 2 ] || fail "single-file media: not two signing steps"
setup="$work/single-out/Setup.exe"
verify "$setup" || fail "osslsigncode verify rejects the single-file Setup.exe: $(cat "$work/verify.log")"
verify "$work/cd-out/CD/CD1/Setup.exe" || fail "osslsigncode verify rejects the CD Setup.exe: $(cat "$work/verify.log")"

# One flipped byte inside the payload (just after the program): exit code 1, nothing installed.
python3 - "$setup" "$work/damaged.exe" <<'PY'
import sys
data = bytearray(open(sys.argv[1], "rb").read())
at = data.rindex(b"KZV\x02")
n = int.from_bytes(data[at + 4:at + 8], "little")
data[n + 40] ^= 0x20
open(sys.argv[2], "wb").write(data)
PY
"$wine_run" "$(winpath "$work/damaged.exe")" -S </dev/null >/dev/null 2>&1
code=$?
[ "$code" = 1 ] || fail "the damaged Setup.exe ended with $code, not 1"
[ ! -e "$target" ] || fail "the damaged Setup.exe installed something"

# The signed single-file media install silently; the maintenance copy is the program as it was signed.
"$wine_run" "$(winpath "$setup")" -S </dev/null >/dev/null 2>&1 || fail "the signed installation ended with $?"
cmp -s "$target/Bin/Widget.exe" "$work/single/files/Widget.exe" || fail "Widget.exe is not installed"
copy="$drive/windows/system32/TSSetup.exe"
verify "$copy" || fail "osslsigncode verify rejects the maintenance copy: $(cat "$work/verify.log")"
# An unknown switch is a usage error.
"$wine_run" "$(winpath "$setup")" -SQ </dev/null >/dev/null 2>&1
code=$?
[ "$code" = 2 ] || fail "an unknown switch ended with $code, not 2"
guid=$("$wine_run" uninstaller --list 2>/dev/null | tr -d '\r' | awk -F'|' '$4 == "Widget" {print $1}' | tail -1)
key="HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$guid"
# The entry's values that today's Windows shows and deployment tools read.
kb=$(( ($(find "$target" -type f ! -name tsdb.dat -printf '%s\n' | awk '{s += $1} END {print s}') + 1023) / 1024 ))
[ "$(reg_value "$key" EstimatedSize)" = "$(printf '0x%x' "$kb")" ] ||
    fail "EstimatedSize $(reg_value "$key" EstimatedSize) for $kb KB"
[ "$(reg_value "$key" InstallDate)" = "$(date +%Y%m%d)" ] || fail "InstallDate $(reg_value "$key" InstallDate)"
[ "$(reg_value "$key" URLInfoAbout)" = "$(reg_value "$key" HelpLink)" ] && [ -n "$(reg_value "$key" URLInfoAbout)" ] ||
    fail "URLInfoAbout $(reg_value "$key" URLInfoAbout)"
quiet=$(reg_value "$key" QuietUninstallString)
[ "$quiet" = 'C:\windows\system32\TSSetup.exe -SU "C:\Program Files\Aldmere\Widget\TSdb.dat"' ] ||
    fail "QuietUninstallString: $quiet"
# A file in use during a repair is replaced at the restart: the run ends with 3010 (194 through Wine).
"$wine_run" "$tree/tests/ui/wizard_action.exe" hold 'C:\Program Files\Aldmere\Widget\Bin\Widget.exe' \
    >/dev/null 2>&1 </dev/null &
holder=$!
sleep 3
"$wine_run" 'C:\windows\system32\TSSetup.exe' -SRF 'C:\Program Files\Aldmere\Widget\TSdb.dat' </dev/null >/dev/null 2>&1
code=$?
kill "$holder" 2>/dev/null
wait "$holder" 2>/dev/null
[ "$code" = $((3010 % 256)) ] || fail "the repair with a file in use ended with $code, not 3010"
# The restart that would put the waiting copy in place (the wizard's test performs one) is not needed here.
[ -e "$target/Bin/Widget.exe.cor" ] || fail "no waiting copy of the file in use"
rm -f "$target/Bin/Widget.exe.cor"
"$wine_run" reg delete 'HKLM\System\CurrentControlSet\Control\Session Manager' /v PendingFileRenameOperations \
    /f >/dev/null 2>&1
# The quiet removal as deployment tools run it: the stored line as it stands, split as the system splits a
# command line (the quoted database path is one word), through the signed copy. Backslashes are doubled
# first, so that eval keeps them.
command=$(printf "%s\n" "$quiet" | sed 's/\\/\\\\/g')
eval "set -- $command"
"$wine_run" "$@" </dev/null >/dev/null 2>&1 || fail "the quiet removal through the signed copy ended with $?"
[ ! -e "$target" ] || fail "the removal left the target folder"
rm -rf "$drive/Program Files/Aldmere"

# Options that cannot work: usage errors (2) and a missing osslsigncode (1), with nothing written.
"$tessaro" build "$work/cd/widget.tsp" --out "$work/never" --sign >"$work/usage.log" 2>&1
[ $? = 2 ] || fail "--sign without certificate is no usage error"
"$tessaro" build "$work/cd/widget.tsp" --out "$work/never" --sign-cert "$work/cert.pem" >/dev/null 2>&1
[ $? = 2 ] || fail "--sign-cert without --sign is no usage error"
PATH=/nonexistent "$tessaro" build "$work/cd/widget.tsp" --out "$work/never" --raw-setup "$tree/setup/TSS.dat" \
    $sign >"$work/missing.log" 2>&1
[ $? = 1 ] || fail "a build without osslsigncode did not end with 1"
grep -q "signing needs osslsigncode, which is not installed" "$work/missing.log" ||
    fail "no message about osslsigncode: $(cat "$work/missing.log")"
[ ! -e "$work/never" ] || fail "a refused signed build wrote the output folder"

[ "$failures" = 0 ] && echo "signed_media: signed media verified, installed, removed; damaged media refused"
exit "$failures"
