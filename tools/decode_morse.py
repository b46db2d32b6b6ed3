#!/usr/bin/env python3
"""Reads Morse back from a recording made with --record (or keytut-render) and prints the text.

usage: decode_morse.py RECORDING.wav CODE_TABLE [--char-wpm N] [--word-wpm N]

The tone runs are found as analyse_tones.py finds them (samples above 30 % of the peak, no pause
of 1 ms or more inside a run). The speeds (both 12 unless given) set the dot at the character
speed and the dot at the word speed, round(9200 / wpm) samples at 8000 samples a second. A run
longer than two character dots is a dash. A silence shorter than two character dots is the gap
inside a character, one of five word dots or more is a word space (a character's gap is three,
a blank adds four), anything between ends a character. The code
table (KEYTUT.CDE) turns each pattern back into its character; a pattern it does not hold prints
as "#". Words are printed separated by single blanks, on one line.
"""
import argparse
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from analyse_tones import read_mono, tone_runs  # noqa: E402


def read_code_table(path):
    patterns = {}
    with open(path, "rb") as f:
        for raw in f.read().splitlines():
            line = raw.decode("latin-1").strip()
            if "," not in line:
                continue
            code, pattern = line.split(",", 1)
            pattern = pattern.strip().strip('"')
            try:
                character = chr(int(code))
            except ValueError:
                continue
            # A later record of the same pattern wins, as in the programs' decoders (the shipped
            # table lists the small letters before the capitals).
            if pattern and character != " ":
                patterns[pattern] = character
    return patterns


def decode(runs, dot, word_dot, patterns):
    words, word, pattern = [], "", ""
    for i, (start, end) in enumerate(runs):
        pattern += "-" if end - start > 2 * dot else "."
        gap = runs[i + 1][0] - end if i + 1 < len(runs) else None
        if gap is None or gap >= 2 * dot:
            word += patterns.get(pattern, "#")
            pattern = ""
        if gap is None or gap >= 5 * word_dot:
            words.append(word)
            word = ""
    return " ".join(words)


def decode_file(recording, code_table, char_wpm=12, word_wpm=12):
    samples, rate = read_mono(recording)
    runs = tone_runs(samples, rate)
    if not runs:
        return ""
    dot = round(9200 / char_wpm) / 8000
    word_dot = max(dot, round(9200 / min(word_wpm, char_wpm)) / 8000)
    return decode(runs, dot, word_dot, read_code_table(code_table))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("recording")
    parser.add_argument("code_table")
    parser.add_argument("--char-wpm", type=int, default=12)
    parser.add_argument("--word-wpm", type=int, default=12)
    args = parser.parse_args()
    print(decode_file(args.recording, args.code_table, args.char_wpm, args.word_wpm))


if __name__ == "__main__":
    main()
