#!/usr/bin/python3
"""A decode screen left alone pauses its side-tone, and keys on as if it had ticked through.

Usage, inside tools/with-pulse.sh and tests/e2e/a11y_session.sh, with Debian's /usr/bin/python3:
    check_key_rest.py BUILD_DIR DATA_DIR

Keyview plays its side-tone to the private PulseAudio server. A key script keys "PARIS" at
15 wpm, leaves the key alone for twelve seconds, then keys "PARIS" again. Checked:
- the side-tone stream is corked (the server's own word for paused) while nobody keys, and
  plays again for the second word;
- the sink's monitor hears every mark of both words, fourteen each. A break of less than
  20 ms inside a mark is the stream running dry for a moment (the 11 ms buffer does, every few
  seconds on a busy machine, and grows when it does so often): such breaks are printed, and the
  two sides of one are one mark. The shortest silence between two marks at 15 wpm is 80 ms;
- the text box shows "PARIS PARIS", and the timing report gives the ratio and the character
  speed that keytut-keying computes for the same script on a clock that never paused, and a
  word speed that script's span can give on a clock counting whole seconds.
"""

import math
import os
import subprocess
import sys
import tempfile
import threading
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools"))
import check_key_screens as ui  # noqa: E402
import orcalib  # noqa: E402
import pyatspi  # noqa: E402
from analyse_tones import read_mono, tone_runs  # noqa: E402

REST_MS = 12000
# Shorter silences inside the tone are breaks in one mark, not the gap between two.
MOST_BREAK_S = 0.020


def keyed(keying, table, text, seed, path):
    subprocess.run([keying, "--code-table", table, "--wpm", "15", "--jitter", "0.1", "--seed",
                    str(seed), "-o", path, text], check=True)
    changes = []
    for line in open(path):
        line = line.split("#")[0].split()
        if len(line) == 2:
            changes.append((int(line[0]), line[1]))
    return changes


def corked_states(stop, seen):
    """The side-tone stream's corked state, as the server reports it, twice a second."""
    while not stop.is_set():
        out = subprocess.run(["pactl", "list", "sink-inputs"], capture_output=True,
                             text=True).stdout
        for block in out.split("Sink Input #")[1:]:
            if "Side-tone" in block:
                state = "yes" if "Corked: yes" in block else "no"
                if not seen or seen[-1] != state:
                    seen.append(state)
        time.sleep(0.5)


def main():
    build, data = sys.argv[1:3]
    keying = os.path.join(build, "tools", "keytut-keying")
    table = os.path.join(data, "KEYTUT.CDE")
    work = tempfile.mkdtemp()
    first = keyed(keying, table, "PARIS", 4, os.path.join(work, "a.txt"))
    second = keyed(keying, table, "PARIS", 5, os.path.join(work, "b.txt"))
    offset = first[-1][0] + REST_MS
    script = os.path.join(work, "paris-rest-paris.txt")
    with open(script, "w") as f:
        for ms, state in first + [(ms + offset, state) for ms, state in second]:
            f.write("%d %s\n" % (ms, state))
    expected = subprocess.run([keying, "--code-table", table, "--decode", script, "--report"],
                              check=True, capture_output=True, text=True).stdout.split("\n")
    if expected[0] != "PARIS PARIS":
        ui.fail("keytut-keying decodes the script as %r" % expected[0])

    recording = os.path.join(work, "monitor.wav")
    recorder = subprocess.Popen(["parecord", "-d", os.environ["KEYTUT_PULSE_SINK"] + ".monitor",
                                 "--rate=8000", "--channels=1", "--format=s16le",
                                 "--file-format=wav", recording])
    pyatspi.Registry.getDesktop(0)
    s = orcalib.OrcaSession()
    stop = threading.Event()
    corked = []
    watcher = threading.Thread(target=corked_states, args=(stop, corked))
    try:
        s.start_program([os.path.join(build, "keyview", "keyview"), "--reset-settings",
                         "--port", "1=sim:" + script], cwd=data)
        app = orcalib.find_application("keyview")
        ui.activate(app)
        ui.press_send(app, 0)
        win = ui.window(app, "Straight Key Decode")
        watcher.start()
        box = ui.text_box(win)
        deadline = time.monotonic() + (offset + second[-1][0]) / 1000 + 15
        while ui.text_of(box) != "PARIS PARIS" and time.monotonic() < deadline:
            time.sleep(0.2)
        print("Keyview's text box: %r" % ui.text_of(box))
        time.sleep(1.0)  # the last mark reaches the monitor
        stop.set()
        watcher.join()
        print("The side-tone stream corked, as the server saw it: %s" % " -> ".join(corked))
        if ui.text_of(box) != "PARIS PARIS":
            ui.fail("the box shows %r" % ui.text_of(box))
        if "yes" not in corked or corked[-1] != "no" or corked[0] != "no":
            ui.fail("the stream was not paused while nobody keyed and playing again after")

        timings = ui.wait_node(win, lambda n: n.getRole() == pyatspi.ROLE_PUSH_BUTTON and
                               n.name == "Timings", what="Timings")
        timings.queryComponent().grabFocus()
        s.key("space")
        report = ui.timing_report(app, None).replace("\r", "").split("\n")
        print("The report: %r" % report)
        print("keytut-keying's report of the script: %r" % expected[1:5])
        if report[0] != expected[1] or report[2] != expected[3]:
            ui.fail("ratio or character speed differ")
        words, span = expected[4].split()[1], float(expected[4].split()[4])
        seconds = range(math.floor(span - 0.05), math.ceil(span + 0.05) + 1)
        want = sorted({round(60 * int(words) / n) for n in seconds if n > 0})
        got = int(report[1].split(":")[1].split()[0])
        if got not in want:
            ui.fail("word speed %r, one of %r expected" % (report[1], want))
        s.key("Escape")
        ui.gone(app, "Straight Key Decode")
    finally:
        stop.set()
        s.stop()
        recorder.terminate()
        recorder.wait()

    samples, rate = read_mono(recording)
    runs = []
    breaks = []
    for start, end in tone_runs(samples, rate):
        if runs and start - runs[-1][1] < MOST_BREAK_S:
            breaks.append((runs[-1][1], start - runs[-1][1]))
            runs[-1] = (runs[-1][0], end)
        else:
            runs.append((start, end))
    print("Breaks inside a mark: %d%s" % (len(breaks), "".join(
        ", %.1f ms at %.3f s" % (1000 * length, at) for at, length in breaks)))
    # The rest splits the marks of the two words: the longest silence between two runs.
    gaps = [(runs[i + 1][0] - runs[i][1], i + 1) for i in range(len(runs) - 1)]
    longest, split = max(gaps) if gaps else (0, 0)
    print("The monitor heard %d marks: %d, a silence of %.1f s, then %d" %
          (len(runs), split, longest, len(runs) - split))
    if (split, len(runs) - split) != (14, 14) or abs(longest - REST_MS / 1000) > 0.5:
        ui.fail("the side-tone did not play every mark of both words around the rest")
    print("PASS")


if __name__ == "__main__":
    main()
