"""Both programs: the tone chosen on the tone screen is heard and kept.

Run inside a11y_session.sh (private home and configuration folder, Xvfb, D-Bus) with Debian's
/usr/bin/python3:
    check_tone.py EARKEY KEYVIEW DATA_DIR

Each program is started recording what it plays (--record). From the keyboard only: Alt+T
opens the tone screen, Try (Alt+T there) sends PARIS in the default tone, the pitch is moved
four steps down to 600 Hz and the edges to Soft, Try again, Escape twice ends the program. The
recording must hold PARIS twice: first at 800 Hz with hard edges, then at 600 Hz with soft ones,
every element as long as before. Started again, the tone screen shows 600 Hz and Soft, and Try
is heard so.
"""

import array
import os
import subprocess
import sys
import time
import wave

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import orcalib  # noqa: E402

failures = []
PARIS_ELEMENTS = 14  # .--. .- .-. .. ...
RATE = 8000


def check(what, ok, detail=""):
    print("%s %-55s %s" % ("ok  " if ok else "FAIL", what, detail))
    if not ok:
        failures.append("%s %s" % (what, detail))


def start(program, data, record):
    env = dict(os.environ, QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
    proc = subprocess.Popen([program, "--record", record, "--data", data], cwd="/", env=env,
                            stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL)
    app = orcalib.find_application(os.path.basename(program), timeout=20)
    orcalib.wait_for_focus(app, timeout=20)
    return proc, app


def key(*keys):
    time.sleep(0.3)
    orcalib.OrcaSession.key(*keys)


def open_tone_screen(app):
    key("alt+t")
    # A list is named by its value on the accessibility bus; its label is its caption.
    return orcalib.wait_for_focus(app, lambda info: info[0] == "combo box" and
                                  info[1].endswith(" Hz"), timeout=10)


def try_tone():
    key("alt+t")
    time.sleep(7)  # PARIS at 12 wpm (4.4 s) and its last gap, on a busy machine too


def end(proc, what):
    key("Escape")
    key("Escape")
    try:
        proc.wait(15)
    except subprocess.TimeoutExpired:
        proc.kill()
        failures.append("%s: Escape did not end the program" % what)


def tone_runs(samples):
    """[(start, end)] of the stretches of tone: above 0.3 % of full scale, gaps under 1 ms."""
    threshold, pause = 0.003 * 32768, RATE // 1000
    runs, start, last = [], None, None
    for i, s in enumerate(samples):
        if abs(s) > threshold:
            if start is None:
                start = i
            elif i - last > pause:
                runs.append((start, last + 1))
                start = i
            last = i
    if start is not None:
        runs.append((start, last + 1))
    return runs


def describe_runs(samples, runs):
    """Per run: (start, pitch in Hz, ms from its start until it first reaches 90 % of its peak)."""
    result = []
    for a, b in runs:
        part = samples[a:b]
        upward = sum(1 for i in range(1, len(part)) if part[i - 1] < 0 <= part[i])
        peak = max(abs(s) for s in part)
        rise = next(i for i, s in enumerate(part) if abs(s) >= 0.9 * peak)
        result.append((a, upward * RATE / (b - a), rise * 1000 / RATE))
    return result


def check_recording(path, what, tones):
    """`tones`: [(pitch, soft)], one PARIS each, in order."""
    with wave.open(path, "rb") as w:
        samples = array.array("h", w.readframes(w.getnframes()))
    runs = describe_runs(samples, tone_runs(samples))
    check("%s: %d elements" % (what, PARIS_ELEMENTS * len(tones)),
          len(runs) == PARIS_ELEMENTS * len(tones), "found %d" % len(runs))
    if len(runs) != PARIS_ELEMENTS * len(tones):
        return
    for n, (pitch, soft) in enumerate(tones):
        part = runs[n * PARIS_ELEMENTS:(n + 1) * PARIS_ELEMENTS]
        heard = sum(r[1] for r in part) / len(part)
        check("%s: PARIS %d at %d Hz" % (what, n + 1, pitch), abs(heard - pitch) < 10,
              "%.1f Hz" % heard)
        rises = [r[2] for r in part]
        if soft:
            check("%s: PARIS %d rises softly" % (what, n + 1), min(rises) >= 2.0,
                  "to 90 %% in %.2f-%.2f ms" % (min(rises), max(rises)))
        else:
            check("%s: PARIS %d starts at full strength" % (what, n + 1), max(rises) <= 1.0,
                  "to 90 %% in %.2f-%.2f ms" % (min(rises), max(rises)))
    if len(tones) == 2:
        # Every element starts where it did with the first tone, counted from the first element
        # of its PARIS: the timing on air is the same, sample for sample.
        onsets = [[r[0] - part[0][0] for r in part]
                  for part in (runs[:PARIS_ELEMENTS], runs[PARIS_ELEMENTS:])]
        worst = max(abs(a - b) for a, b in zip(*onsets))
        check("%s: the elements start where they did" % what, worst <= 1,
              "worst %d samples (%.3f ms) apart" % (worst, worst * 1000 / RATE))


def main():
    earkey, keyview, data = sys.argv[1:4]
    config = os.environ["XDG_CONFIG_HOME"]
    work = os.environ.get("A11Y_SESSION_DIR", "/tmp")
    for program in (earkey, keyview):
        name = os.path.basename(program)
        conf = os.path.join(config, "keytut", name + ".conf")
        first = os.path.join(work, name + "-first.wav")
        proc, app = start(program, data, first)
        info = open_tone_screen(app)
        check("%s: the tone screen opens on Pitch" % name, True, repr(info))
        try_tone()
        for _ in range(4):
            key("Up")
        key("Tab")
        key("Down")
        try_tone()
        end(proc, name)
        check_recording(first, name, [(800, False), (600, True)])
        kept = open(conf).read() if os.path.isfile(conf) else ""
        check("%s: the tone is kept" % name, "pitch=600" in kept and "soft-edges=true" in kept,
              kept.replace("\n", " "))

        second = os.path.join(work, name + "-second.wav")
        proc, app = start(program, data, second)
        info = open_tone_screen(app)
        check("%s: next run, the screen shows 600 Hz" % name, "600 Hz" in repr(info), repr(info))
        key("Tab")
        info = orcalib.wait_for_focus(app, lambda i: i[1] in ("Hard", "Soft"), timeout=10)
        check("%s: next run, the edges are Soft" % name, "Soft" in repr(info), repr(info))
        try_tone()
        end(proc, name)
        check_recording(second, name + " next run", [(600, True)])
    for failure in failures:
        print("FAIL: " + failure)
    if not failures:
        print("PASS")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
