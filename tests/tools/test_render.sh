#!/usr/bin/env bash
# The render tool writes exactly the sender's samples and fails clearly on bad input.
source "$(dirname "$0")/checks.sh"
render=$1
data=$2
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

# Pitch and soft edges change the sound, never its length.
check "soft edges at 600 Hz" "$render" --pitch 600 --soft-edges -o "$work/soft.wav" "HI "
check "the same 15340 samples" test "$(samples "$work/soft.wav")" = 15340
check "but not the same sound" bash -c "! cmp -s '$work/hi.wav' '$work/soft.wav'"
check "800 Hz, hard edges is the default" bash -c "'$render' --pitch 800 -o '$work/hi800.wav' 'HI ' >/dev/null && cmp '$work/hi.wav' '$work/hi800.wav'"
for bad in 825 1050 350 0 abc ""; do
    check "pitch '$bad' fails" bash -c "! '$render' --pitch '$bad' -o '$work/x.wav' E 2>'$work/err.txt'"
    check "pitch '$bad' is explained" grep -q "400 to 1000 Hz in steps of 50" "$work/err.txt"
done
check "--pitch without a value fails" bash -c "! '$render' -o '$work/x.wav' E --pitch 2>/dev/null"

cd "$work"
check "missing table fails" bash -c "! '$render' -o x.wav E 2>err.txt"
check "missing table is named" grep -q "KEYTUT.CDE" err.txt
check "--code-table" "$render" --code-table "$data/KEYTUT.CDE" --keyview -o e.wav E
check "bad speed fails" bash -c "! '$render' --code-table '$data/KEYTUT.CDE' --char-wpm 0 -o x.wav E 2>err.txt"
check "bad speed is explained" grep -q "speed" err.txt
check "faster words fail" bash -c "! '$render' --code-table '$data/KEYTUT.CDE' --char-wpm 12 --word-wpm 20 -o x.wav E 2>/dev/null"
check "unwritable output fails" bash -c "! '$render' --code-table '$data/KEYTUT.CDE' -o /nonexistent/dir/x.wav E 2>err.txt"
check "unwritable output is named" grep -q "/nonexistent/dir/x.wav" err.txt
# Characters without a code are named; a text with none that has a code writes nothing.
grep -v '^9[7-9],\|^1[01][0-9],\|^12[0-2],' "$data/KEYTUT.CDE" >capitals.cde
check "lower case sounds with the shipped table" bash -c "'$render' --code-table '$data/KEYTUT.CDE' -o lower.wav 'cq' 2>err.txt && ! test -s err.txt"
"$render" --code-table "$data/KEYTUT.CDE" -o upper.wav CQ >/dev/null
check "lower case like capitals" cmp lower.wav upper.wav
check "partly coded text succeeds" "$render" --code-table capitals.cde -o part.wav "cq de g4xqz" 2>err.txt
check "skipped characters are named" grep -q '8 of 11 characters have no code in capitals.cde and were skipped: "c" "q" "d" "e" "g" "x" "z"' err.txt
check "only the 4 is in the file" test "$(samples part.wav)" = "$("$render" --code-table capitals.cde -o four.wav "  4" >/dev/null; samples four.wav)"
check "nothing sendable fails with 1" bash -c "'$render' --code-table capitals.cde -o none.wav '~^#\$%' 2>err.txt; test \$? = 1"
check "nothing sendable says so" grep -q "nothing to send" err.txt
check "nothing sendable writes no file" test ! -e none.wav

# Past the WAV limit the same samples go into an RF64 file (the limit lowered to show it).
check "small output is WAV" bash -c "'$render' --code-table capitals.cde -o wav.wav 'PARIS PARIS' | grep -qv RF64"
check "past the limit" bash -c "'$render' --code-table capitals.cde --wav-limit 1000 -o rf64.wav 'PARIS PARIS' | grep -q RF64"
check "RF64 header" test "$(head -c 4 rf64.wav)" = RF64
check "WAV header" test "$(head -c 4 wav.wav)" = RIFF
bytes=$(( $(samples wav.wav) * 2 ))
check "same samples" cmp <(tail -c "$bytes" wav.wav) <(tail -c "$bytes" rf64.wav)
check "sox reads the RF64 file" test "$(soxi -s rf64.wav)" = "$(samples wav.wav)"

finish
