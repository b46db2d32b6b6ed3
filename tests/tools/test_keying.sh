#!/usr/bin/env bash
# keytut-keying names the characters it cannot key, as keytut-render does, and fails with 1 when
# nothing of the text can be keyed (no script is written then).
source "$(dirname "$0")/checks.sh"
keying=$1
data=$2
table=$data/KEYTUT.CDE
changes() { grep -cv '^#' "$1"; }
cd "$work"

check "E E keys" "$keying" --code-table "$table" --wpm 20 -o ee.txt "E E"
check "E E names nothing" bash -c "'$keying' --code-table '$table' --wpm 20 -o ee.txt 'E E' 2>err.txt && ! test -s err.txt"
check "E~E keys what it can" bash -c "'$keying' --code-table '$table' --wpm 20 -o e-e.txt 'E~E' 2>err.txt"
check "the ~ is named" grep -qF "1 of 3 characters has no code in $table and was skipped: \"~\"" err.txt
check "E~E is EE" test "$(changes e-e.txt)" = "$("$keying" --code-table "$table" --wpm 20 -o - EE | changes /dev/stdin)"
check "lower case keys as capitals" bash -c "'$keying' --code-table '$table' --wpm 20 -o - 'cq' 2>err.txt >/dev/null && ! test -s err.txt"
check "paddle scripts too" bash -c "'$keying' --code-table '$table' --wpm 20 --paddle -o - 'E~' 2>err.txt >/dev/null"
check "the paddle's ~ is named" grep -q 'skipped: "~"' err.txt

check "nothing keyable fails with 1" bash -c "'$keying' --code-table '$table' --wpm 20 -o none.txt '~~~' 2>err.txt; test \$? = 1"
check "nothing keyable says so" grep -qF "nothing to key: no character of the text has a code in $table; none.txt was not written" err.txt
check "the characters are named" grep -qF '3 of 3 characters have no code' err.txt
check "nothing keyable writes no file" test ! -e none.txt
check "to the standard output: nothing" bash -c "test -z \"\$('$keying' --code-table '$table' --wpm 20 '~' 2>/dev/null)\""
check "spaces only fail with 1" bash -c "'$keying' --code-table '$table' --wpm 20 -o none.txt '   ' 2>err.txt; test \$? = 1"
check "spaces only say so" grep -q "the text is empty or only spaces" err.txt

finish
