#!/bin/sh
# The guide's compiler refuses a broken guide with a message naming the page, and writes no help file:
# a link to a page that is not there, a page the contents do not list, a contents entry without its page.
# Arguments: the source root.
root=$1
failures=0
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# $1 what is broken, $2 the text the message must hold; the guide copy in $work/src is compiled.
expect_refusal() {
    if python3 "$root/scripts/build-guide" "$work/src" "$work/out/Tessaro.chm" --work "$work/chm" 2>"$work/err"; then
        echo "FAIL: $1: the guide was compiled"
        failures=$((failures + 1))
    elif ! grep -q "$2" "$work/err"; then
        echo "FAIL: $1: the message \"$(cat "$work/err")\" does not name $2"
        failures=$((failures + 1))
    fi
    if [ -e "$work/out/Tessaro.chm" ]; then
        echo "FAIL: $1: a help file was written"
        failures=$((failures + 1))
    fi
}
fresh_copy() {
    rm -rf "$work/src" "$work/out"
    mkdir -p "$work/src/docs"
    cp -r "$root/docs/guide" "$root/docs/text-format.md" "$work/src/docs/"
}

fresh_copy
printf '\nSee [nothing](Nothing.md).\n' >>"$work/src/docs/guide/Welcome.md"
expect_refusal "a link to a missing page" "Nothing.md"

fresh_copy
printf '# Orphan\n\nA page that no contents entry names.\n' >"$work/src/docs/guide/UsersGuide/Orphan.md"
expect_refusal "a page missing from the contents" "Orphan.md"

fresh_copy
printf -- '- [Gone](UsersGuide/Gone.md)\n' >>"$work/src/docs/guide/Contents.md"
expect_refusal "a contents entry without its page" "Gone.md"

# The unbroken copy compiles.
fresh_copy
python3 "$root/scripts/build-guide" "$work/src" "$work/out/Tessaro.chm" --work "$work/chm" ||
    { echo "FAIL: the unbroken guide was refused"; failures=$((failures + 1)); }
[ "$failures" = 0 ] && echo "build_guide_errors: all steps as expected"
exit "$failures"
