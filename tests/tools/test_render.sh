#!/usr/bin/env bash
# The render tool writes exactly the sender's samples and fails clearly on bad input.
set -u
render=$1
data=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
check() {  # description, then a command that must succeed
    local what=$1; shift
    if "$@"; then echo "ok: $what"; else echo "FAIL: $what"; failures=$((failures + 1)); fi
}
samples() { soxi -s "$1" 2>/dev/null || python3 - "$1" <<'PY'
import sys, wave
with wave.open(sys.argv[1]) as w: print(w.getnframes())
PY
}
header() { python3 - "$1" <<'PY'
import sys, wave
with wave.open(sys.argv[1]) as w: print(w.getframerate(), w.getnchannels(), w.getsampwidth())
PY
}

cd "$data"
check "HI at 12 wpm" "$render" -o "$work/hi.wav" "HI "
check "HI is 7670 + 4602 + 3068 samples" test "$(samples "$work/hi.wav")" = 15340
check "8000 Hz mono 16 bit" test "$(header "$work/hi.wav")" = "8000 1 2"
check "A at 20/12 wpm" "$render" --char-wpm 20 --word-wpm 12 -o "$work/a.wav" A
check "A is 4601 samples" test "$(samples "$work/a.wav")" = 4601

cd "$work"
check "missing table fails" bash -c "! '$render' -o x.wav E 2>err.txt"
check "missing table is named" grep -q "KEYTUT.CDE" err.txt
check "--code-table" "$render" --code-table "$data/KEYTUT.CDE" --keyview -o e.wav E
check "bad speed fails" bash -c "! '$render' --code-table '$data/KEYTUT.CDE' --char-wpm 0 -o x.wav E 2>err.txt"
check "bad speed is explained" grep -q "speed" err.txt
check "faster words fail" bash -c "! '$render' --code-table '$data/KEYTUT.CDE' --char-wpm 12 --word-wpm 20 -o x.wav E 2>/dev/null"
check "unwritable output fails" bash -c "! '$render' --code-table '$data/KEYTUT.CDE' -o /nonexistent/dir/x.wav E 2>err.txt"
check "unwritable output is named" grep -q "/nonexistent/dir/x.wav" err.txt
echo "$failures failed"
exit $((failures > 0))
