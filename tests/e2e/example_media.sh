# Sourced by the end-to-end tests that build the bundled example's media and run them under Wine.
# Arguments of the sourcing script: the x86_64 tree, tessaro, make_example, the Wine runner.
# shellcheck shell=sh
tree=$1
tessaro=$2
make_example=$3
wine_run=$4
prefix=${TESSARO_WINEPREFIX:-$(cd "$(dirname "$0")/../.." && pwd)/build/wineprefix}
drive="$prefix/drive_c"
failures=0
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { printf 'FAIL: %s\n' "$*"; failures=$((failures + 1)); }
winpath() { echo "Z:$1" | tr / '\\'; }
# A registry value's data as reg query prints it, or nothing when the key or value is missing; the name
# "(Default)" is the key's default value.
reg_value() {
    if [ "$2" = "(Default)" ]; then set -- "$1" "$2" /ve; else set -- "$1" "$2" /v "$2"; fi
    key=$1 name=$2
    shift 2
    "$wine_run" reg query "$key" "$@" 2>/dev/null | tr -d '\r' | awk -v name="$name" '$1 == name {
        $1 = ""; $2 = ""; sub(/^ +/, ""); print }'
}
reg_key_exists() { "$wine_run" reg query "$1" >/dev/null 2>&1; }
# The example's product code in the system's list of installed programs, or nothing.
product_guid() {
    "$wine_run" uninstaller --list 2>/dev/null | tr -d '\r' | awk -F'|' '$4 == "Widget" {print $1}' | tail -1
}
start_menu() { find "$drive/users" -path '*Start Menu/Programs/Widget' 2>/dev/null | head -1; }
run_setup() {  # media folder, arguments...; prints the exit code
    setup=$(winpath "$1/Setup.exe")
    shift
    "$wine_run" "$setup" "$@" </dev/null >/dev/null 2>&1
    echo $?
}
