#!/bin/bash
# Decoder accuracy: texts of 500 random characters (letters and digits in groups of five) keyed
# by hand with keytut-keying at 12, 18 and 25 wpm with a timing jitter of 10, 20 and 30 %, each
# played tick by tick through the straight-key decoder (the decoder starts at the 12 wpm
# averages, as a fresh screen does). Prints the character error rate of each condition: the edit
# distance between the characters keyed and decoded, blanks left out, over the 500 characters;
# and, apart, how many word blanks were lost or added.
#
# usage: tools/decoder-accuracy.sh [BUILD_DIR] [DATA_DIR]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../build}
data=${2:-$here/../data}
tool=$build/tools/keytut-keying
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

python3 - "$tool" "$data/KEYTUT.CDE" "$work" <<'PY'
import random, subprocess, sys
tool, table, work = sys.argv[1:4]

def distance(a, b):
    row = list(range(len(b) + 1))
    for i, ca in enumerate(a, 1):
        prev, row[0] = row[0], i
        for j, cb in enumerate(b, 1):
            prev, row[j] = row[j], min(row[j] + 1, row[j - 1] + 1, prev + (ca != cb))
    return row[-1]

alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789"
print("wpm  jitter  characters  errors  CER     blanks keyed/decoded")
for wpm in (12, 18, 25):
    for jitter in (0.10, 0.20, 0.30):
        rng = random.Random(wpm * 100 + int(jitter * 100))
        chars = [rng.choice(alphabet) for _ in range(500)]
        text = " ".join("".join(chars[i:i + 5]) for i in range(0, 500, 5))
        script = f"{work}/key-{wpm}-{jitter}.txt"
        subprocess.run([tool, "--code-table", table, "--wpm", str(wpm), "--jitter", str(jitter),
                        "--seed", str(wpm * 7 + int(jitter * 100)), "-o", script, text], check=True)
        decoded = subprocess.run([tool, "--code-table", table, "--decode", script], check=True,
                                 capture_output=True, text=True).stdout.rstrip("\n")
        errors = distance("".join(chars), decoded.replace(" ", ""))
        print(f"{wpm:3d}  {jitter * 100:4.0f} %  {500:10d}  {errors:6d}  {errors / 500 * 100:5.1f} %"
              f"  {text.count(' '):3d}/{decoded.strip().count(' '):d}")
PY
