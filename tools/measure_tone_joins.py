#!/usr/bin/env python3
"""Where each element of a Morse recording starts, against the ideal timing.

usage: measure_tone_joins.py FILE.wav TEXT CODE_TABLE CHAR_DOT WORD_DOT

The ideal is worked out here from the code table and the dot lengths in samples (a dot of
CHAR_DOT samples, a dash of three, one dot between elements, three WORD_DOT dots after each
character, four for a blank), independently of the tutor's code. In FILE.wav an element starts
where the sound first rises above 30 % of the file's peak after a silence of 1 ms or more: hard
edges cross it at once, soft edges some samples later, the same for every element since every
element starts at the same phase of the tone. That offset is taken from the first element and
every other onset is compared with the ideal plus it. Prints the elements found, the offset, and
the worst difference over all onsets and over the first onsets of characters (the joins).
"""
import array
import sys
import wave


def read_codes(path):
    codes = {}
    with open(path, "rb") as f:
        for line in f.read().decode("latin-1").splitlines():
            number, _, pattern = line.partition(",")
            if number.strip().isdigit() and pattern.strip():
                codes[chr(int(number))] = pattern.strip()
    return codes


def ideal_onsets(text, codes, char_dot, word_dot):
    """[(sample, first element of its character)] for every element of `text`."""
    onsets, t = [], 0
    for c in text:
        if c in " \r":
            t += 4 * word_dot
            continue
        pattern = codes.get(c)
        if pattern is None:
            continue
        for j, element in enumerate(pattern):
            if j > 0:
                t += char_dot
            onsets.append((t, j == 0))
            t += (3 if element == "-" else 1) * char_dot
        t += 3 * word_dot
    return onsets, t


def measured_onsets(samples, rate):
    peak = max((abs(s) for s in samples), default=0)
    threshold = 0.3 * peak
    pause = int(rate * 0.001)
    onsets, last = [], None
    for i, s in enumerate(samples):
        if abs(s) > threshold:
            if last is None or i - last > pause:
                onsets.append(i)
            last = i
    return onsets


def main():
    if len(sys.argv) != 6:
        sys.exit(__doc__)
    path, text, table, char_dot, word_dot = sys.argv[1:]
    with wave.open(path, "rb") as w:
        rate = w.getframerate()
        samples = array.array("h", w.readframes(w.getnframes()))
    codes = read_codes(table)
    ideal, length = ideal_onsets(text, codes, int(char_dot), int(word_dot))
    found = measured_onsets(samples, rate)
    print(f"samples: {len(samples)} (ideal {length}); elements: {len(found)} (ideal {len(ideal)})")
    if len(found) != len(ideal) or not found:
        print("FAIL: the elements found do not match the ideal")
        return 1
    offset = found[0] - ideal[0][0]
    worst = worst_join = 0
    for (expected, first), seen in zip(ideal, found):
        d = abs(seen - expected - offset)
        worst = max(worst, d)
        if first:
            worst_join = max(worst_join, d)
    ms = 1000 / rate
    print(f"detector offset: {offset} samples ({offset * ms:.3f} ms)")
    print(f"worst onset difference: {worst} samples ({worst * ms:.3f} ms)")
    print(f"worst character start (join) difference: {worst_join} samples ({worst_join * ms:.3f} ms)")
    return 0 if len(samples) == length else 1


if __name__ == "__main__":
    sys.exit(main())
