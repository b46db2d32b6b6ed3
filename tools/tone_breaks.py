#!/usr/bin/env python3
"""Counts the breaks in a recording of the key screens' voice keyed on and off.

usage: tone_breaks.py RECORDING.wav [--min-silence-ms MS]

`keytut-measure-audio sidetone` keys the voice down and up every 60 ms, and the voice switches
its tone on whole 5 ms blocks, so every silence between two tones lasts about 60 ms (at least
50 ms). A shorter silence is a break inside a tone: the server or the stream missed a period and
the learner hears the tone stutter. Prints the tones found, the breaks and the shortest silence.
"""
import argparse
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from analyse_tones import read_mono, tone_runs  # noqa: E402


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("recording")
    parser.add_argument("--min-silence-ms", type=float, default=40.0)
    args = parser.parse_args()
    samples, rate = read_mono(args.recording)
    runs = tone_runs(samples, rate)
    if len(runs) < 2:
        print("tone breaks: fewer than two tones recorded")
        return 1
    silences = [(b[0] - a[1]) * 1000 for a, b in zip(runs, runs[1:])]
    breaks = [s for s in silences if s < args.min_silence_ms]
    keyed = [s for s in silences if s >= args.min_silence_ms]
    print("tone breaks: %d tones, %d breaks inside them (silences under %.0f ms, the shortest "
          "%.2f ms); silences between key-downs %.1f-%.1f ms"
          % (len(runs) - len(breaks), len(breaks), args.min_silence_ms, min(silences),
             min(keyed, default=0), max(keyed, default=0)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
