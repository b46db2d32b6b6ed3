#!/usr/bin/env bash
# Measures keytut-render on a long text: the size and format of the file it writes, its peak
# memory and its time. The default, 60,000 zeros at 5 wpm, gives 84 hours of Morse, 4.9 GB: more
# than a WAV file can describe, so the file is RF64, and the memory shows that the sound is
# streamed to the file rather than held. Needs that much free space in $TMPDIR (or /tmp).
#   tools/measure-render.sh [CHARACTERS [BUILD_DIR]]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
count=${1:-60000}
build=${2:-$here/build}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
text=$(head -c "$count" /dev/zero | tr '\0' '0')
cd "$here/data"
/usr/bin/time -f "%M %e" -o "$work/time" "$build/tools/keytut-render" --char-wpm 5 --word-wpm 5 \
    -o "$work/out.wav" "$text" >/dev/null
read -r peak_kb seconds <"$work/time"
bytes=$(stat -c %s "$work/out.wav")
format=$(head -c 4 "$work/out.wav")
samples=$(soxi -s "$work/out.wav" 2>/dev/null || echo "?")
echo "$count characters at 5 wpm: $bytes bytes ($format), $samples samples as sox reads them," \
    "peak memory $peak_kb KB, $seconds s"
