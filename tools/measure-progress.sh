#!/usr/bin/env bash
# Measures the learner's progress store on this machine: the time to commit one answer (p50,
# p99) on a new file and on one holding a million answers, and with a million answers the time
# to open the file and make the progress summary (in the program, and keytut-progress summary
# from start to end), to open each edition's progress screen, and the size of the file. The goals: a commit that never delays the sound
# or the next group, the summary under 200 ms, the file under 100 MB.
#   tools/measure-progress.sh [ANSWERS [BUILD_DIR [FOLDER]]]
# FOLDER (default $TMPDIR or /tmp) should be on the disk the learner's home is on.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
count=${1:-1000000}
build=${2:-$here/build}
work=$(mktemp -d "${3:-${TMPDIR:-/tmp}}/keytut-progress-XXXXXX")
trap 'rm -rf "$work"' EXIT
cmake --build "$build" --target keytut-measure-progress keytut-progress >/dev/null
measure=$build/tools/keytut-measure-progress

echo "On a new file ($(df --output=source "$work" | tail -1)):"
"$measure" commit "$work/new.sqlite3" 3000
printf 'Filling in %d answers ... ' "$count"
start=$(date +%s%N)
"$measure" fill "$work/big.sqlite3" "$count"
echo "$(( ($(date +%s%N) - start) / 1000000 )) ms"
echo "With $count answers stored:"
"$measure" commit "$work/big.sqlite3" 3000
"$measure" summary "$work/big.sqlite3" 10

runs=()
for _ in $(seq 10); do
    start=$(date +%s%N)
    "$build/tools/keytut-progress" --progress "$work/big.sqlite3" summary >/dev/null
    runs+=($(( ($(date +%s%N) - start) / 1000 )))
done
sorted=($(printf '%s\n' "${runs[@]}" | sort -n))
printf 'keytut-progress summary, start to end: %d runs, p50 %d.%03d ms, max %d.%03d ms\n' \
    "${#sorted[@]}" $((sorted[4] / 1000)) $((sorted[4] % 1000)) \
    $((sorted[9] / 1000)) $((sorted[9] % 1000))

# The progress screens themselves, where the programs are built (Qt's offscreen platform).
if cmake --build "$build" --target keytut-measure-progress-screens >/dev/null 2>&1; then
    "$build/tools/keytut-measure-progress-screens" "$work/big.sqlite3" 5
fi

bytes=$(stat -c %s "$work/big.sqlite3")
wal=0
[ -e "$work/big.sqlite3-wal" ] && wal=$(stat -c %s "$work/big.sqlite3-wal")
answers=$("$build/tools/keytut-progress" --progress "$work/big.sqlite3" csv | tail -n +2 | wc -l)
echo "File with $answers answers: $bytes bytes ($(( bytes / 1048576 )) MiB), log $wal bytes," \
    "$(( bytes / answers )) bytes an answer"
