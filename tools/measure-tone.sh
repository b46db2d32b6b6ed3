#!/usr/bin/env bash
# measure-tone.sh [BUILD_DIR]
# What soft edges do to the Morse, measured on files keytut-render writes: for the lowest, the
# default and the highest pitch, "PARIS PARIS " with hard and with soft edges. For each file,
# sox's stat (length, peak, RMS); the clicks' energy, as the RMS left when a band around the tone
# is taken out (sox's sinc band-reject: everything more than 300 Hz and more than 500 Hz away from
# the pitch), in dB below the file's RMS, with the peak of what is left; and the joins: where each
# element and each character starts against the ideal worked out from the code table
# (measure_tone_joins.py). KEYTUT_SPEED sets the speeds (default 12/12); KEYTUT_KEEP=1 keeps the
# files, with a spectrogram of each.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../build}
render=$build/tools/keytut-render
table=$here/../data/KEYTUT.CDE
[ -x "$render" ] || { echo "measure-tone.sh: $render not built" >&2; exit 1; }
command -v sox >/dev/null || { echo "measure-tone.sh: sox is needed" >&2; exit 1; }
speed=${KEYTUT_SPEED:-12/12}
char=${speed%/*}
word=${speed#*/}
dot() { python3 -c "print(round(9200 / $1))"; }
text="PARIS PARIS "
work=$(mktemp -d /tmp/keytut-tone.XXXXXX)
finish() { if [ -n "${KEYTUT_KEEP:-}" ]; then echo "kept $work"; else rm -rf "$work"; fi; }
trap finish EXIT

soxstat() {  # file, field, effects: the number sox's stat prints for the field
    sox "$1" -n "${@:3}" stat 2>&1 | awk -v f="$2" -F: '$1 ~ f { gsub(/ /, "", $2); print $2 }'
}
away() {  # pitch, Hz: the sinc effect that keeps only what lies further than Hz from the pitch
    if [ $(($1 - $2)) -gt 0 ]; then
        echo "sinc -a 120 -t 50 $(($1 + $2))-$(($1 - $2))"
    else
        echo "sinc -a 120 -t 50 $(($1 + $2))"
    fi
}
db() { python3 -c "import math; print('%.1f' % (20 * math.log10($1 / $2)))"; }

echo "\"$text\" at $char/$word wpm"
printf '%-6s %-5s %9s %8s %8s %16s %16s %10s %10s\n' pitch edges length peak RMS \
    ">300Hz away dB" ">500Hz away dB" "peak>300" "joins ms"
for pitch in 400 800 1000; do
    for edges in hard soft; do
        f=$work/$pitch-$edges.wav
        extra=()
        [ "$edges" = soft ] && extra=(--soft-edges)
        "$render" --code-table "$table" --char-wpm "$char" --word-wpm "$word" --pitch "$pitch" \
            "${extra[@]}" -o "$f" "$text" >/dev/null
        rms=$(soxstat "$f" "RMS +amplitude")
        # shellcheck disable=SC2046
        away300=$(soxstat "$f" "RMS +amplitude" $(away "$pitch" 300))
        # shellcheck disable=SC2046
        away500=$(soxstat "$f" "RMS +amplitude" $(away "$pitch" 500))
        # shellcheck disable=SC2046
        peak300=$(soxstat "$f" "Maximum amplitude" $(away "$pitch" 300))
        joins=$(python3 "$here/measure_tone_joins.py" "$f" "$text" "$table" "$(dot "$char")" \
            "$(dot "$word")" | sed -n 's/^worst character start.*(\([0-9.]*\) ms)$/\1/p')
        printf '%-6s %-5s %9s %8s %8s %16s %16s %10s %10s\n' "$pitch" "$edges" \
            "$(soxstat "$f" "Length")" "$(soxstat "$f" "Maximum amplitude")" "$rms" \
            "$(db "$away300" "$rms")" "$(db "$away500" "$rms")" "$peak300" "${joins:-FAIL}"
        if [ -n "${KEYTUT_KEEP:-}" ]; then
            sox "$f" -n trim 0 1.2 spectrogram -z 100 -t "$pitch Hz, $edges edges" \
                -o "${f%.wav}.png"
        fi
    done
done
