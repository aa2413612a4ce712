#!/bin/sh
# The registry value dialog, worked through the UI driver as a person would: the three titles, the
# "Base:" group of a double word switching between hexadecimal and decimal, ffffffff stored as -1,
# "Permanent", and Cancel.
# Arguments: the x86_64 tree's tests/ui folder, the wine runner, a folder for screenshots.
ui=$1
wine_run=$2
shots=$3
driver="$ui/uidriver.exe"
. "$(dirname "$0")/ui_test.sh"
mkdir -p "$shots"

host() { "$wine_run" "$ui/reg_value_host.exe" "$@" >"$work/answer" 2>&1 </dev/null & host_pid=$!; }
answer_is() {
    wait "$host_pid"
    got=$(tr -d '\r' <"$work/answer")
    [ "$got" = "$1" ] || fail "the dialog answered \"$got\", expected \"$1\""
}
D="Modify DWORD Value"

# A double word stored as -1 opens in hexadecimal; Decimal shows it unsigned; a decimal 31 typed shows as
# 1f back in hexadecimal, and is stored as 31 with Permanent.
host 4 Count -1 0
drive "wait|$D" "expect|$D|2101|Count" "expect|$D|2102|ffffffff" "checked|$D|2104|1" "checked|$D|2105|0" \
    "visible|$D|2103|1" "checked|$D|2106|0" || fail "double word opened"
import -display "$DISPLAY" -window root "$shots/reg-value-dword.png"
drive "click|$D|2105" "expect|$D|2102|4294967295" "type|$D|2102|31" "click|$D|2104" "expect|$D|2102|1f" \
    "checked|$D|2104|1" "check|$D|2106|1" "click|$D|1" "gone|$D" || fail "base switching"
answer_is "ok 31 1"

# The default value's name; ffffffff typed in hexadecimal is stored as -1.
host 4 "" 0 0
drive "wait|$D" "expect|$D|2101|(Default)" "expect|$D|2102|0" "type|$D|2102|ffffffff" "click|$D|1" "gone|$D" \
    || fail "ffffffff"
answer_is "ok -1 0"

# Decimal chosen and kept: the field is stored as typed.
host 4 Big 0 0
drive "wait|$D" "click|$D|2105" "expect|$D|2102|0" "type|$D|2102|4294967295" "click|$D|1" "gone|$D" \
    || fail "decimal kept"
answer_is "ok 4294967295 0"

# A string: no "Base:" group, Permanent shown checked, Cancel keeps everything.
S="Modify String"
host 1 Path 'C:\old' 1
drive "wait|$S" "expect|$S|2102|C:\\old" "visible|$S|2103|0" "visible|$S|2104|0" "checked|$S|2106|1" \
    "type|$S|2102|changed" "command|$S|2" "gone|$S" || fail "string cancelled"
import -display "$DISPLAY" -window root "$shots/reg-value-string.png" 2>/dev/null || true
answer_is "cancel"

# Binary data as typed, Permanent cleared.
B="Modify Binary Value"
host 3 Bytes "00 1f" 1
drive "wait|$B" "expect|$B|2102|00 1f" "visible|$B|2103|0" "type|$B|2102|0a 0b ff" "check|$B|2106|0" \
    "checked|$B|2106|0" "click|$B|1" "gone|$B" || fail "binary"
answer_is "ok 0a 0b ff 0"

finish "registry value dialog"
