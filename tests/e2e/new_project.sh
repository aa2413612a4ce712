#!/bin/sh
# tessaro new: writes the new-project state with a new GUID each time, and never overwrites a file.
set -u
tessaro=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
failures=0

fail() {
    echo "FAIL: $*"; failures=$((failures + 1))
}

"$tessaro" new "$dir/one.tsp" >"$dir/one.guid" || fail "new one.tsp exited $?"
"$tessaro" new "$dir/two.tsp" >"$dir/two.guid" || fail "new two.tsp exited $?"
grep -Eq '^\{[0-9A-F]{8}-[0-9A-F]{4}-[0-9a-f]{4}-[0-9A-F]{4}-[0-9A-F]{12}\}$' "$dir/one.guid" ||
    fail "not a GUID: $(cat "$dir/one.guid")"
cmp -s "$dir/one.guid" "$dir/two.guid" && fail "two new projects have the same GUID"

"$tessaro" dump "$dir/one.tsp" >"$dir/one.dump" || fail "dump exited $?"
grep -q "ProductID = $(cat "$dir/one.guid")" "$dir/one.dump" || fail "dump does not show the printed GUID"
for line in 'Name = "Target Folder"' 'Name = "HKEY_CLASSES_ROOT"' 'Name = "HKEY_CURRENT_USER"' \
    'Name = "HKEY_LOCAL_MACHINE"' 'Name = "HKEY_USERS"' 'Name = "Installation Type Dependant"' \
    'MinNT = 8196 (0x2004)' 'Min95 = 512 (0x200)' 'MakeAutorun = 1' 'IconFile = -1 (0xFFFFFFFF)' 'Files  (empty)'; do
    grep -qF "$line" "$dir/one.dump" || fail "dump lacks: $line"
done
# The root keys in their order.
order=$(grep -o 'Name = "HKEY_[A-Z_]*"\|Name = "Installation Type Dependant"' "$dir/one.dump" | tr '\n' '|')
[ "$order" = 'Name = "HKEY_CLASSES_ROOT"|Name = "HKEY_CURRENT_USER"|Name = "HKEY_LOCAL_MACHINE"|Name = "HKEY_USERS"|Name = "Installation Type Dependant"|' ] ||
    fail "root keys out of order: $order"

cp "$dir/one.tsp" "$dir/copy.tsp"
"$tessaro" new "$dir/one.tsp" >/dev/null 2>"$dir/err"
[ $? = 1 ] || fail "new over an existing file did not exit 1"
grep -q 'already exists' "$dir/err" || fail "no message for an existing file"
cmp -s "$dir/one.tsp" "$dir/copy.tsp" || fail "an existing file was changed"
"$tessaro" new "$dir/no/such/folder/p.tsp" >/dev/null 2>"$dir/err"
[ $? = 1 ] || fail "new into a missing folder did not exit 1"
grep -q '^tessaro: ' "$dir/err" || fail "no message for a missing folder"
"$tessaro" new >/dev/null 2>&1
[ $? = 2 ] || fail "new without FILE did not exit 2"

[ "$failures" = 0 ] && echo "new_project: all checks passed"
exit "$failures"
