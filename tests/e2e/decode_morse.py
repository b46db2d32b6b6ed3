#!/usr/bin/python3
"""Decodes a recording of the programs' Morse back to text.

usage: decode_morse.py RECORDING.wav CODE_TABLE CHAR_WPM WORD_WPM

A tone run is a stretch of samples above 30 % of the file's peak with no pause of 1 ms or more
inside it. A run shorter than two dots is a dot, a longer one a dash; a silence shorter than two
dots separates elements, one shorter than five word-speed dots separates characters, and a
longer one is a word space. Prints the text, words separated by one blank.
"""
import array
import sys
import wave


def dot_samples(wpm):
    return round(9200 / wpm)


def read_mono(path):
    with wave.open(path, "rb") as w:
        if w.getsampwidth() != 2 or w.getnchannels() != 1:
            raise ValueError("%s: a 16-bit mono WAV file is expected" % path)
        data = array.array("h", w.readframes(w.getnframes()))
    if sys.byteorder == "big":
        data.byteswap()
    return data


def tone_runs(samples, rate=8000):
    peak = max((abs(s) for s in samples), default=0)
    if peak == 0:
        return []
    threshold = 0.3 * peak
    bridge = rate // 1000
    runs, start, last = [], None, None
    for i, s in enumerate(samples):
        if abs(s) > threshold:
            if start is None:
                start = i
            elif i - last > bridge:
                runs.append((start, last + 1))
                start = i
            last = i
    if start is not None:
        runs.append((start, last + 1))
    return runs


def load_codes(path):
    codes = {}
    with open(path, "rb") as f:
        for raw in f.read().replace(b"\r\n", b"\n").replace(b"\r", b"\n").split(b"\n"):
            line = raw.decode("latin-1").strip()
            if "," not in line:
                continue
            number, code = line.split(",", 1)
            if number.strip().isdigit() and code.strip():
                codes[code.strip()] = chr(int(number))
    return codes


def decode(samples, codes, char_wpm, word_wpm):
    dot, word_dot = dot_samples(char_wpm), dot_samples(word_wpm)
    text, code, previous_end = [], "", None
    for start, end in tone_runs(samples):
        if previous_end is not None:
            gap = start - previous_end
            if gap >= 2 * dot:
                text.append(codes.get(code, "?"))
                code = ""
                if gap >= 5 * word_dot:
                    text.append(" ")
        code += "." if end - start < 2 * dot else "-"
        previous_end = end
    if code:
        text.append(codes.get(code, "?"))
    return "".join(text)


def main():
    if len(sys.argv) != 5:
        sys.exit(__doc__)
    path, table, char_wpm, word_wpm = sys.argv[1], sys.argv[2], int(sys.argv[3]), int(sys.argv[4])
    print(decode(read_mono(path), load_codes(table), char_wpm, word_wpm))


if __name__ == "__main__":
    main()
