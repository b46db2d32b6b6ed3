#!/usr/bin/env python3
"""Finds the 800 Hz tone and silence runs in a recording and compares them with the ideal.

usage: analyse_tones.py RECORDING.wav IDEAL.wav [--offsets FILE] [--check TOL_MS]
                        [--boundary-allowance-ms MS]

IDEAL.wav holds the buffers that were played, back to back; --offsets gives the sample offset at
which each buffer starts in it (one per line), so that the gaps between characters can be told
from the gaps inside them. Both files are read with the same detector: a tone run is a stretch
of samples above 30 % of the file's peak with no pause of 1 ms or more inside it.

With --check, exits 1 unless every tone and every silence inside a character is within TOL_MS of
the ideal, and every silence between characters is within TOL_MS below and TOL_MS plus the
boundary allowance (default 10 ms) above the ideal.
"""
import argparse
import array
import bisect
import sys
import wave


def read_mono(path):
    with wave.open(path, "rb") as w:
        if w.getsampwidth() != 2:
            sys.exit(f"{path}: only 16-bit WAV files are read")
        rate, channels = w.getframerate(), w.getnchannels()
        data = array.array("h", w.readframes(w.getnframes()))
    if sys.byteorder == "big":
        data.byteswap()
    if channels > 1:
        data = data[::channels]
    return data, rate


def tone_runs(samples, rate):
    """Returns [(start, end)] in seconds of the tone runs."""
    peak = max((abs(s) for s in samples), default=0)
    if peak == 0:
        return []
    threshold = 0.3 * peak
    max_pause = int(rate * 0.001)
    runs = []
    start = last = None
    for i, s in enumerate(samples):
        if abs(s) > threshold:
            if start is None:
                start = i
            elif i - last > max_pause:
                runs.append((start, last + 1))
                start = i
            last = i
    if start is not None:
        runs.append((start, last + 1))
    return [(a / rate, b / rate) for a, b in runs]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("recording")
    parser.add_argument("ideal")
    parser.add_argument("--offsets")
    parser.add_argument("--check", type=float, metavar="TOL_MS")
    parser.add_argument("--boundary-allowance-ms", type=float, default=10.0)
    args = parser.parse_args()

    rec, rec_rate = read_mono(args.recording)
    ideal, ideal_rate = read_mono(args.ideal)
    measured = tone_runs(rec, rec_rate)
    expected = tone_runs(ideal, ideal_rate)
    ideal_total = len(ideal) / ideal_rate
    print(f"recording: {len(rec) / rec_rate:.3f} s at {rec_rate} Hz, {len(measured)} tone runs")
    print(f"ideal: {ideal_total * 1000:.2f} ms at {ideal_rate} Hz, {len(expected)} tone runs")
    if not expected:
        sys.exit("the ideal holds no tone")
    if len(measured) != len(expected):
        print(f"FAIL: {len(measured)} tone runs recorded, {len(expected)} expected")
        return 1

    starts = [0]
    if args.offsets:
        with open(args.offsets) as f:
            starts = [int(line) / ideal_rate for line in f if line.strip()]

    def buffer_of(t):
        return bisect.bisect_right(starts, t + 1e-9) - 1

    failures = 0
    tol = args.check
    worst_tone = worst_inner = 0.0
    boundary_extra = []
    m0, e0 = measured[0][0], expected[0][0]
    for i, ((ms, me), (es, ee)) in enumerate(zip(measured, expected)):
        d = ((me - ms) - (ee - es)) * 1000
        worst_tone = max(worst_tone, abs(d))
        if tol is not None and abs(d) > tol:
            failures += 1
            print(f"FAIL tone {i}: {(me - ms) * 1000:.2f} ms, ideal {(ee - es) * 1000:.2f} ms")
        if i + 1 < len(measured):
            gap = (measured[i + 1][0] - me) * 1000
            ideal_gap = (expected[i + 1][0] - ee) * 1000
            d = gap - ideal_gap
            crosses = buffer_of(expected[i + 1][0]) != buffer_of(es)
            if crosses:
                boundary_extra.append(d)
                bad = d < -tol or d > tol + args.boundary_allowance_ms if tol is not None else False
            else:
                worst_inner = max(worst_inner, abs(d))
                bad = tol is not None and abs(d) > tol
            if bad:
                failures += 1
                kind = "between characters" if crosses else "inside a character"
                print(f"FAIL silence {i} ({kind}): {gap:.2f} ms, ideal {ideal_gap:.2f} ms")

    span_measured = measured[-1][1] - m0
    span_ideal = expected[-1][1] - e0
    drift = (span_measured - span_ideal) * 1000
    on_air = ideal_total * 1000 + drift
    boundaries = buffer_of(expected[-1][0]) - buffer_of(e0)
    print(f"tones: worst difference {worst_tone:.3f} ms")
    print(f"silences inside characters: worst difference {worst_inner:.3f} ms")
    print(f"ideal on-air duration (sum of buffers): {ideal_total * 1000:.2f} ms")
    print(f"measured on-air duration: {on_air:.2f} ms ({drift:+.2f} ms)")
    if boundaries > 0:
        per_char = drift / boundaries
        print(f"extra gap per character: {per_char:+.3f} ms over {boundaries} character boundaries")
    if boundary_extra:
        srt = sorted(boundary_extra)
        print(
            f"silences between characters: extra min {srt[0]:+.3f} ms, "
            f"max {srt[-1]:+.3f} ms, mean {sum(srt) / len(srt):+.3f} ms"
        )
    if len(starts) > 1:
        # Per character with sound: from its first tone to the next such character's first tone.
        firsts = {}
        for k, (es, _) in enumerate(expected):
            firsts.setdefault(buffer_of(es), k)
        keys = sorted(firsts)
        print("character  ideal ms  measured ms  extra ms")
        for a, b in zip(keys, keys[1:]):
            ideal_ms = (expected[firsts[b]][0] - expected[firsts[a]][0]) * 1000
            meas_ms = (measured[firsts[b]][0] - measured[firsts[a]][0]) * 1000
            print(f"{a:9d}  {ideal_ms:8.2f}  {meas_ms:11.2f}  {meas_ms - ideal_ms:+8.3f}")
    if tol is not None:
        print("PASS" if failures == 0 else f"FAIL: {failures} runs out of tolerance")
        return 0 if failures == 0 else 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
